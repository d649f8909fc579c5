// Files of the source tree that the tests use (tests/data, models/default). TEV_SOURCE_DIR
// is the source tree's root, set by the build.
#pragma once

#include "tests/support/read_file.h"

#include <string>

namespace tevtest {

inline std::string SourcePath(const std::string& relative) {
  return std::string(TEV_SOURCE_DIR) + "/" + relative;
}

// The bytes of a file of the source tree.
inline std::string SourceFileContent(const std::string& relative) {
  return ReadFile(SourcePath(relative));
}

}  // namespace tevtest
