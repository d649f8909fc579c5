#include "platform/tevlib/scripted_engine.h"

#include "platform/json/bounded_json.h"
#include "platform/tevlib/class_names.h"
#include "platform/tevlib/scripted_error.h"
#include "platform/tevlib/view_placement.h"

#include <nlohmann/json.hpp>

#include <fstream>
#include <limits>

namespace tevlib {
namespace {

using nlohmann::json;

[[noreturn]] void Fail(const std::string& message) {
  throw ScriptError(message);
}

int ReadInt(const json& value, const std::string& what) {
  if (!value.is_number_integer()) {
    Fail(what + " must be an integer");
  }
  const auto number = value.get<long long>();
  if (number < std::numeric_limits<int>::min() || number > std::numeric_limits<int>::max()) {
    Fail(what + " is outside the range of int");
  }
  return static_cast<int>(number);
}

// JSON has no NaN or infinity; a script names them, to play a model that misbehaves.
float ReadScore(const json& value, const std::string& what) {
  if (value.is_number()) {
    return value.get<float>();
  }
  if (value == "nan") {
    return std::numeric_limits<float>::quiet_NaN();
  }
  if (value == "inf") {
    return std::numeric_limits<float>::infinity();
  }
  if (value == "-inf") {
    return -std::numeric_limits<float>::infinity();
  }
  Fail(what + " must be a number, \"nan\", \"inf\" or \"-inf\"");
}

ScriptedEngine::Failure ReadThrow(const json& entry, const std::string& what) {
  const json& kind = entry.at("throw");
  if (kind == "std") {
    return ScriptedEngine::Failure::Std;
  }
  if (kind == "other") {
    return ScriptedEngine::Failure::Other;
  }
  Fail(what + ": \"throw\" must be \"std\" or \"other\"");
}

bool IsThrow(const json& value) {
  return value.is_object() && value.contains("throw");
}

KESTROVIA::Object ReadDetection(const json& item, const std::string& what,
                                const std::vector<std::string>& classNames) {
  if (!item.is_object()) {
    Fail(what + " must be an object");
  }
  KESTROVIA::Object detection;
  if (item.contains("classId")) {
    detection.classId = ReadInt(item["classId"], what + ".classId");
  }
  if (item.contains("trackId")) {
    detection.trackId = ReadInt(item["trackId"], what + ".trackId");
  }
  if (item.contains("confidence")) {
    detection.confidence = ReadScore(item["confidence"], what + ".confidence");
  }
  if (item.contains("box")) {
    const json& box = item["box"];
    if (!box.is_array() || box.size() != 4) {
      Fail(what + ".box must be [x, y, width, height]");
    }
    detection.box = cv::Rect(ReadInt(box[0], what + ".box[0]"), ReadInt(box[1], what + ".box[1]"),
                             ReadInt(box[2], what + ".box[2]"), ReadInt(box[3], what + ".box[3]"));
    // Boxes are clipped against views; their far edges must be representable.
    const long long right = static_cast<long long>(detection.box.x) + detection.box.width;
    const long long bottom = static_cast<long long>(detection.box.y) + detection.box.height;
    if (right > std::numeric_limits<int>::max() || right < std::numeric_limits<int>::min() ||
        bottom > std::numeric_limits<int>::max() || bottom < std::numeric_limits<int>::min()) {
      Fail(what + ".box reaches beyond the range of int");
    }
  }
  if (item.contains("className")) {
    if (!item["className"].is_string()) {
      Fail(what + ".className must be a string");
    }
    detection.className = item["className"].get<std::string>();
  } else {
    detection.className = ClassName(classNames, detection.classId);
  }
  return detection;
}

ScriptedEngine::Entry ReadEntry(const json& value, const std::string& what,
                                const std::vector<std::string>& classNames) {
  ScriptedEngine::Entry entry;
  if (IsThrow(value)) {
    entry.failure = ReadThrow(value, what);
    return entry;
  }
  if (!value.is_array()) {
    Fail(what + " must be a list of detections or {\"throw\": ...}");
  }
  for (std::size_t index = 0; index < value.size(); ++index) {
    entry.detections.push_back(
        ReadDetection(value[index], what + "[" + std::to_string(index) + "]", classNames));
  }
  return entry;
}

[[noreturn]] void Raise(ScriptedEngine::Failure failure, const char* where) {
  if (failure == ScriptedEngine::Failure::Std) {
    throw std::runtime_error(std::string("scripted failure in ") + where);
  }
  throw ScriptedNonStdError{where};
}

const char* FailureName(ScriptedEngine::Failure failure) {
  return failure == ScriptedEngine::Failure::Std ? "std" : "other";
}

// <folder>/<modelName>.script.json logs to <folder>/<modelName>.calls.jsonl.
std::filesystem::path LogFileBeside(const std::filesystem::path& script) {
  const std::string suffix = ".script.json";
  std::string name = script.filename().string();
  name.resize(name.size() - suffix.size());
  return script.parent_path() / (name + ".calls.jsonl");
}

json ReadJson(const std::filesystem::path& file) {
  try {
    return tevjson::ReadBoundedJsonFile(file.string());
  } catch (const tevjson::JsonFileError& error) {
    Fail(std::string("the file ") + error.what());
  }
}

}  // namespace

ScriptedEngine::ScriptedEngine(const std::filesystem::path& script,
                               const std::vector<std::string>& classNames) {
  const json root = ReadJson(script);
  Failure loadFailure = Failure::None;
  try {
    if (!root.is_object()) {
      Fail("the script must be a JSON object");
    }
    const std::string coordinates = root.value("coordinates", "view");
    if (coordinates != "view" && coordinates != "frame") {
      Fail("\"coordinates\" must be \"view\" or \"frame\"");
    }
    _frameCoordinates = coordinates == "frame";

    const std::string after = root.value("after", "empty");
    if (after == "empty") {
      _after = After::Empty;
    } else if (after == "repeat-last") {
      _after = After::RepeatLast;
    } else if (after == "cycle") {
      _after = After::Cycle;
    } else {
      Fail("\"after\" must be \"empty\", \"repeat-last\" or \"cycle\"");
    }

    const json calls = root.value("calls", json::array());
    if (!calls.is_array()) {
      Fail("\"calls\" must be a list");
    }
    for (std::size_t index = 0; index < calls.size(); ++index) {
      _calls.push_back(ReadEntry(calls[index], "calls[" + std::to_string(index) + "]", classNames));
    }

    if (root.value("log", false)) {
      _logFile = LogFileBeside(script);
    }

    if (root.contains("optimize")) {
      const json& optimize = root["optimize"];
      if (IsThrow(optimize)) {
        _optimizeFailure = ReadThrow(optimize, "optimize");
      } else {
        _optimizeResult = ReadInt(optimize, "\"optimize\"");
      }
    }
    if (root.contains("tracker")) {
      _acceptsTracker = ReadInt(root["tracker"], "\"tracker\"") == 1;
    }
    if (root.contains("load")) {
      if (!IsThrow(root["load"])) {
        Fail("\"load\" must be {\"throw\": ...}");
      }
      loadFailure = ReadThrow(root["load"], "load");
    }
  } catch (const json::exception& error) {
    Fail(error.what());
  }
  if (loadFailure != Failure::None) {
    Raise(loadFailure, "LoadModelFromFolder");
  }
}

const ScriptedEngine::Entry* ScriptedEngine::EntryForCall(std::size_t call) const {
  if (call < _calls.size()) {
    return &_calls[call];
  }
  if (_calls.empty()) {
    return nullptr;
  }
  switch (_after) {
    case After::RepeatLast:
      return &_calls.back();
    case After::Cycle:
      return &_calls[call % _calls.size()];
    case After::Empty:
      break;
  }
  return nullptr;
}

std::vector<KESTROVIA::Object> ScriptedEngine::Run(const cv::Mat& image,
                                                   const std::string& cameraId) {
  const std::size_t call = _callCount++;
  const Entry* entry = EntryForCall(call);
  if (!_logFile.empty()) {
    AppendLog(call, image, cameraId, entry);
  }
  if (entry == nullptr) {
    return {};
  }
  if (entry->failure != Failure::None) {
    Raise(entry->failure, "RunInference");
  }

  std::vector<KESTROVIA::Object> detections;
  const cv::Rect view = LocateView(image).view;
  for (const KESTROVIA::Object& scripted : entry->detections) {
    KESTROVIA::Object detection = scripted;
    if (_frameCoordinates) {
      const cv::Rect inView = detection.box & view;
      if (inView.empty()) {
        continue;
      }
      detection.box = inView - view.tl();
    }
    detection.cameraId = cameraId;
    detections.push_back(std::move(detection));
  }
  return detections;
}

void ScriptedEngine::AppendLog(std::size_t call, const cv::Mat& image, const std::string& cameraId,
                               const Entry* entry) const {
  const ViewPlacement placement = LocateView(image);
  json line = {
      {"call", call},
      {"cameraId", cameraId},
      {"view", {placement.view.x, placement.view.y, placement.view.width, placement.view.height}},
      {"frame", {placement.frameSize.width, placement.frameSize.height}}};
  if (entry != nullptr && entry->failure != Failure::None) {
    line["throw"] = FailureName(entry->failure);
  } else {
    line["detections"] = entry == nullptr ? 0 : entry->detections.size();
  }
  std::ofstream out(_logFile, std::ios::app);
  out << line.dump() << '\n';
}

int ScriptedEngine::Optimize(bool) {
  if (_optimizeFailure != Failure::None) {
    Raise(_optimizeFailure, "Optimize");
  }
  return _optimizeResult;
}

// Scripts carry their own track ids; "tracker": 0 makes SetTracker fail.
Engine::TrackIds ScriptedEngine::TrackIdSource() const {
  return _acceptsTracker ? TrackIds::OwnIds : TrackIds::Refused;
}

}  // namespace tevlib
