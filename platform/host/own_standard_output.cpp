#include "platform/host/own_standard_output.h"

#include <iostream>

namespace tevhost {

OwnStandardOutput::OwnStandardOutput()
    : _stdout(std::cout.rdbuf(std::cerr.rdbuf())), _out(_stdout) {}

OwnStandardOutput::~OwnStandardOutput() {
  _out.flush();
  std::cout.rdbuf(_stdout);
}

}  // namespace tevhost
