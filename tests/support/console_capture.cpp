#include "tests/support/console_capture.h"

#include <iostream>

namespace tevtest {

ConsoleCapture::ConsoleCapture()
    : _savedOut(std::cout.rdbuf(_out.rdbuf())), _savedErr(std::cerr.rdbuf(_err.rdbuf())) {}

ConsoleCapture::~ConsoleCapture() {
  std::cout.rdbuf(_savedOut);
  std::cerr.rdbuf(_savedErr);
}

}  // namespace tevtest
