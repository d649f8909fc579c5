// Files no JSON reader of the project may choke on, for the tables of every reader's tests:
// each names the path to hand the reader and a part of the message it must give.
#pragma once

#include "tests/support/model_folder.h"

#include <cstddef>
#include <string>
#include <vector>

namespace tevtest {

// A refusal is a short line whatever the file holds.
inline constexpr std::size_t kLongestRefusal = 600;

struct HostileFile {
  std::string what;     // the test case's name
  std::string path;     // what the reader is given
  std::string problem;  // part of the refusal's message
};

// A JSON object whose one value nests arrays `depth` deep, far past any reader's limit.
std::string DeeplyNestedJson(int depth);

// Deep nesting and a megabyte-long unfinished string (written into folder), an endless file
// (/dev/zero), a folder for a file, and a file that does not exist.
std::vector<HostileFile> HostileJsonFiles(const ModelFolder& folder);

}  // namespace tevtest
