// Captures what is written to std::cout and std::cerr while the object lives.
#pragma once

#include <sstream>
#include <streambuf>
#include <string>

namespace tevtest {

class ConsoleCapture {
 public:
  ConsoleCapture();
  ~ConsoleCapture();
  ConsoleCapture(const ConsoleCapture&) = delete;
  ConsoleCapture& operator=(const ConsoleCapture&) = delete;

  std::string Out() const { return _out.str(); }
  std::string Err() const { return _err.str(); }

 private:
  std::ostringstream _out;
  std::ostringstream _err;
  std::streambuf* _savedOut;
  std::streambuf* _savedErr;
};

}  // namespace tevtest
