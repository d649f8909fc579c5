#include "platform/json/bounded_json.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>

namespace tevjson {
namespace {

namespace fs = std::filesystem;

// The file's text, refused before it is read past the limit.
std::string ReadLimited(const std::string& path) {
  std::error_code error;
  const fs::file_status status = fs::status(path, error);
  if (!fs::exists(status)) {
    throw JsonFileError(error && error != std::errc::no_such_file_or_directory
                            ? "cannot be read: " + error.message()
                            : "does not exist");
  }
  if (fs::is_directory(status)) {
    throw JsonFileError("is a directory, not a file");
  }
  errno = 0;
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    throw JsonFileError(std::string("cannot be read: ") +
                        (errno != 0 ? std::strerror(errno) : "cannot open it"));
  }
  std::string text;
  char block[65536];
  while (in.read(block, sizeof block) || in.gcount() > 0) {
    text.append(block, static_cast<std::size_t>(in.gcount()));
    if (text.size() > kMaxJsonFileBytes) {
      throw JsonFileError("is larger than " + std::to_string(kMaxJsonFileBytes >> 20) + " MiB");
    }
  }
  if (in.bad()) {
    throw JsonFileError("cannot be read: the read failed");
  }
  return text;
}

}  // namespace

nlohmann::json ReadBoundedJsonFile(const std::string& path) {
  const std::string text = ReadLimited(path);
  // The parser reports each object and array as it opens, with its depth: refuse the file
  // there, before anything deep has been built.
  const nlohmann::json::parser_callback_t limitDepth =
      [](int depth, nlohmann::json::parse_event_t event, nlohmann::json&) {
        if ((event == nlohmann::json::parse_event_t::object_start ||
             event == nlohmann::json::parse_event_t::array_start) &&
            depth >= kMaxJsonDepth) {
          throw JsonFileError("nests deeper than " + std::to_string(kMaxJsonDepth) + " levels");
        }
        return true;
      };
  try {
    return nlohmann::json::parse(text, limitDepth);
  } catch (const nlohmann::json::exception& error) {
    // The parser quotes the token it stopped at, which may be most of the file.
    throw JsonFileError("is not valid JSON: " + Abridged(error.what(), 240));
  }
}

std::string Abridged(const std::string& text, std::size_t maxChars) {
  if (text.size() <= maxChars) {
    return text;
  }
  return text.substr(0, maxChars) + "... (" + std::to_string(text.size()) + " characters)";
}

}  // namespace tevjson
