// The bytes of a file, for tests that compare or parse what was written.
#pragma once

#include <string>

namespace tevtest {

// Throws std::runtime_error when the file cannot be opened.
std::string ReadFile(const std::string& path);

}  // namespace tevtest
