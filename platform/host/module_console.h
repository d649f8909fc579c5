// The module's console lines, taken apart from the application's standard output and error
// while a front end drives the module: what a thread writes to std::cout and std::cerr while
// it holds a ModuleConsole goes, line by line, to that scope's sink instead (the element's
// debug log; tev-host's standard error, after reading the failed-frames total).
//
// Front ends drive detectors in threads of their own, so one process-wide router replaces both
// streams' buffers while any scope is open (the first to open installs it, the last to close
// restores the buffers it replaced). It keeps each thread's unfinished line apart, so lines of
// several threads never mix, and passes on to the replaced buffers what threads without a
// scope write.
#pragma once

#include <cstddef>
#include <functional>
#include <string>

namespace tevhost {

enum class ConsoleStream { Out, Err };

// Takes one line, without its end.
using ConsoleLineSink = std::function<void(ConsoleStream stream, const std::string& line)>;

class ModuleConsole {
 public:
  explicit ModuleConsole(ConsoleLineSink sink);
  // Writes a line (and its end), whole, to the stream as the application had it before any
  // scope: for a sink that passes lines on. Only while a scope is open (from a sink).
  static void PassOn(ConsoleStream stream, const std::string& line);
  // An unfinished last line is handed over as it is.
  ~ModuleConsole();
  ModuleConsole(const ModuleConsole&) = delete;
  ModuleConsole& operator=(const ModuleConsole&) = delete;

 private:
  friend class ConsoleRouter;

  // What the thread wrote to one stream: whole lines go to the sink.
  void Take(ConsoleStream stream, const char* text, std::size_t count);

  ConsoleLineSink _sink;
  std::string _unfinished[2];  // by ConsoleStream
  ModuleConsole* _outer;       // the scope this one is nested in on the thread, if any
};

}  // namespace tevhost
