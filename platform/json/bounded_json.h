// JSON files from users, read with limits: a file of at most kMaxJsonFileBytes, nested at
// most kMaxJsonDepth deep. Settings, ground truth and script models are small and flat;
// without limits a hostile file overflows the stack (deep nesting) or fills the memory
// (/dev/zero, a huge file).
#pragma once

#include <nlohmann/json.hpp>

#include <cstddef>
#include <stdexcept>
#include <string>

namespace tevjson {

inline constexpr std::size_t kMaxJsonFileBytes = 64u << 20;  // 64 MiB
inline constexpr int kMaxJsonDepth = 64;

// Why a file was refused, in words for the user: "does not exist", "is a directory",
// "is larger than 64 MiB", "nests deeper than 64 levels", "is not valid JSON: ...".
class JsonFileError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Reads and parses the file at path. Throws JsonFileError.
nlohmann::json ReadBoundedJsonFile(const std::string& path);

// Text from a file, for a message that quotes it: up to maxChars characters, and the count
// of the rest, so that a 10 MB string in a file is not a 10 MB line on the console.
std::string Abridged(const std::string& text, std::size_t maxChars = 80);

}  // namespace tevjson
