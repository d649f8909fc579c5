// Files of the source tree that the tests use (tests/data, models/default). TEV_SOURCE_DIR
// is the source tree's root, set by the build.
#pragma once

#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>

namespace tevtest {

inline std::string SourcePath(const std::string& relative) {
  return std::string(TEV_SOURCE_DIR) + "/" + relative;
}

// The bytes of a file of the source tree.
inline std::string SourceFileContent(const std::string& relative) {
  std::ifstream in(SourcePath(relative), std::ios::binary);
  if (!in) {
    throw std::runtime_error("cannot read " + SourcePath(relative));
  }
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace tevtest
