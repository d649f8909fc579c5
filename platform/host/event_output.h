// Where event lines go: a file, or standard output ("-"). Every line is written and flushed
// whole or not at all: when a write fails (a full disk, a closed pipe), a file is cut back
// to its last whole line, and the failure is kept for the caller to report.
#pragma once

#include <cstdio>
#include <string>

namespace tevhost {

class EventOutput {
 public:
  // target: a file (created or emptied), or "-". Throws HostFailure (Output) when the file
  // cannot be opened.
  explicit EventOutput(const std::string& target);
  ~EventOutput();
  EventOutput(const EventOutput&) = delete;
  EventOutput& operator=(const EventOutput&) = delete;

  // Writes text and a line end. False once a write has failed; nothing is written after.
  bool WriteLine(const std::string& text);

  // "the events file <path>" or "standard output", for messages.
  const std::string& Name() const { return _name; }
  // Why the write failed; empty while none has.
  const std::string& Failure() const { return _failure; }

 private:
  std::FILE* _file = nullptr;
  std::string _path;  // empty for standard output
  std::string _name;
  long long _wholeBytes = 0;  // written in whole lines
  std::string _failure;
};

}  // namespace tevhost
