#include "platform/tevlib/onnx/onnx_input_size.h"

#include <cstdint>
#include <fstream>
#include <set>
#include <string>
#include <vector>

namespace tevlib {
namespace {

// Field numbers of the ONNX messages read here.
constexpr std::uint64_t kModelGraph = 7;
constexpr std::uint64_t kGraphInitializer = 5;
constexpr std::uint64_t kGraphInput = 11;
constexpr std::uint64_t kTensorName = 8;
constexpr std::uint64_t kValueInfoName = 1;
constexpr std::uint64_t kValueInfoType = 2;
constexpr std::uint64_t kTypeTensor = 1;
constexpr std::uint64_t kTensorTypeShape = 2;
constexpr std::uint64_t kShapeDim = 1;
constexpr std::uint64_t kDimValue = 1;

enum WireType : std::uint64_t { kVarint = 0, kFixed64 = 1, kLengthDelimited = 2, kFixed32 = 5 };

// A region of the file holding one message.
struct Span {
  std::streamoff begin = 0;
  std::streamoff end = 0;
};

struct Field {
  std::uint64_t number = 0;
  bool delimited = false;    // a length-delimited field: payload holds its bytes
  std::uint64_t varint = 0;  // the value of a varint field
  Span payload;
};

// Reads the fields of one message in order, skipping their payloads. Readers of nested
// messages share the stream, so each keeps its own place.
class MessageReader {
 public:
  MessageReader(std::istream& in, Span span) : _in(in), _place(span.begin), _end(span.end) {}

  // False at the end of the message or on a malformed field.
  bool Next(Field& field) {
    if (_place >= _end) {
      return false;
    }
    _in.clear();
    _in.seekg(_place);
    std::uint64_t key = 0;
    if (!ReadVarint(key)) {
      return false;
    }
    field = Field();
    field.number = key >> 3;
    std::streamoff size = 0;
    switch (key & 7) {
      case kVarint:
        if (!ReadVarint(field.varint)) {
          return false;
        }
        break;
      case kFixed64:
        size = 8;
        break;
      case kFixed32:
        size = 4;
        break;
      case kLengthDelimited: {
        std::uint64_t length = 0;
        if (!ReadVarint(length) ||
            length > static_cast<std::uint64_t>(_end - static_cast<std::streamoff>(_in.tellg()))) {
          return false;
        }
        field.delimited = true;
        size = static_cast<std::streamoff>(length);
        break;
      }
      default:
        return false;
    }
    const std::streamoff here = _in.tellg();
    field.payload = {here, here + size};
    _place = field.payload.end;
    return here >= 0 && _place <= _end;
  }

 private:
  bool ReadVarint(std::uint64_t& value) {
    value = 0;
    for (int shift = 0; shift < 64; shift += 7) {
      const int byte = _in.get();
      if (byte == std::char_traits<char>::eof()) {
        return false;
      }
      value |= static_cast<std::uint64_t>(byte & 0x7f) << shift;
      if ((byte & 0x80) == 0) {
        return true;
      }
    }
    return false;
  }

  std::istream& _in;
  std::streamoff _place;
  std::streamoff _end;
};

std::string ReadText(std::istream& in, Span span) {
  std::string text(static_cast<std::size_t>(span.end - span.begin), '\0');
  in.clear();
  in.seekg(span.begin);
  in.read(text.data(), static_cast<std::streamsize>(text.size()));
  return text;
}

// The first length-delimited field of that number in the message.
bool FindField(std::istream& in, Span message, std::uint64_t number, Span& found) {
  MessageReader reader(in, message);
  for (Field field; reader.Next(field);) {
    if (field.number == number && field.delimited) {
      found = field.payload;
      return true;
    }
  }
  return false;
}

std::string NameOf(std::istream& in, Span message, std::uint64_t nameField) {
  Span name;
  return FindField(in, message, nameField, name) ? ReadText(in, name) : std::string();
}

// The dimensions of a ValueInfoProto's tensor type, 0 for a symbolic one.
std::vector<std::int64_t> Dimensions(std::istream& in, Span valueInfo) {
  Span type;
  Span tensor;
  Span shape;
  if (!FindField(in, valueInfo, kValueInfoType, type) ||
      !FindField(in, type, kTypeTensor, tensor) ||
      !FindField(in, tensor, kTensorTypeShape, shape)) {
    return {};
  }
  std::vector<std::int64_t> dimensions;
  MessageReader dims(in, shape);
  for (Field dim; dims.Next(dim);) {
    if (dim.number != kShapeDim || !dim.delimited) {
      continue;
    }
    std::int64_t value = 0;
    MessageReader parts(in, dim.payload);
    for (Field part; parts.Next(part);) {
      if (part.number == kDimValue && !part.delimited) {
        value = static_cast<std::int64_t>(part.varint);
      }
    }
    dimensions.push_back(value);
  }
  return dimensions;
}

}  // namespace

cv::Size DeclaredInputSize(const std::filesystem::path& model) {
  std::ifstream in(model, std::ios::binary);
  in.seekg(0, std::ios::end);
  const Span file{0, in.tellg()};
  Span graph;
  if (!in || !FindField(in, file, kModelGraph, graph)) {
    return {};
  }

  std::set<std::string> weights;
  std::vector<Span> inputs;
  MessageReader reader(in, graph);
  for (Field field; reader.Next(field);) {
    if (field.number == kGraphInitializer && field.delimited) {
      weights.insert(NameOf(in, field.payload, kTensorName));
    } else if (field.number == kGraphInput && field.delimited) {
      inputs.push_back(field.payload);
    }
  }

  constexpr std::int64_t kLargestSide = 1 << 16;
  for (const Span& input : inputs) {
    if (weights.count(NameOf(in, input, kValueInfoName)) != 0) {
      continue;
    }
    const std::vector<std::int64_t> dims = Dimensions(in, input);
    if (dims.size() != 4 || dims[2] <= 0 || dims[3] <= 0 || dims[2] > kLargestSide ||
        dims[3] > kLargestSide) {
      return {};
    }
    return cv::Size(static_cast<int>(dims[3]), static_cast<int>(dims[2]));
  }
  return {};
}

}  // namespace tevlib
