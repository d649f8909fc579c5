#include "tests/support/read_file.h"

#include <fstream>
#include <sstream>
#include <stdexcept>

namespace tevtest {

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    throw std::runtime_error("cannot read " + path);
  }
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

}  // namespace tevtest
