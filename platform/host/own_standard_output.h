// Keeps standard output for what a front end writes there itself (events, a report) while the
// object lives: std::cout, where the module writes its console lines, goes to standard error
// instead, and Out() writes to standard output. Made before the front end's threads start and
// gone after they end: swapping std::cout's buffer is not safe while others write to it.
#pragma once

#include <ostream>
#include <streambuf>

namespace tevhost {

class OwnStandardOutput {
 public:
  OwnStandardOutput();
  ~OwnStandardOutput();
  OwnStandardOutput(const OwnStandardOutput&) = delete;
  OwnStandardOutput& operator=(const OwnStandardOutput&) = delete;

  std::ostream& Out() { return _out; }

 private:
  std::streambuf* _stdout;
  std::ostream _out;
};

}  // namespace tevhost
