#include "platform/gstreamer/module_console.h"

#include <atomic>
#include <iostream>
#include <mutex>
#include <streambuf>
#include <utility>

namespace tevgst {
namespace {

// The innermost scope open on this thread.
thread_local ModuleConsole* current = nullptr;

std::size_t IndexOf(ConsoleStream stream) {
  return stream == ConsoleStream::Out ? 0 : 1;
}

}  // namespace

// Stands in for one standard stream's buffer. Unbuffered: every write reaches it at once, on
// the writer's thread, which tells whose scope the text belongs to.
class ConsoleRouter : public std::streambuf {
 public:
  ConsoleRouter(std::ostream& stream, ConsoleStream kind) : _stream(stream), _kind(kind) {}

  void Install() { _replaced.store(_stream.rdbuf(this)); }
  void Remove() { _stream.rdbuf(_replaced.load()); }

 protected:
  int_type overflow(int_type character) override {
    if (traits_type::eq_int_type(character, traits_type::eof())) {
      return traits_type::not_eof(character);
    }
    const char text = traits_type::to_char_type(character);
    return xsputn(&text, 1) == 1 ? character : traits_type::eof();
  }

  std::streamsize xsputn(const char* text, std::streamsize count) override {
    if (current != nullptr) {
      current->Take(_kind, text, static_cast<std::size_t>(count));
      return count;
    }
    // A stream the application left without a buffer fails its writes, as it did before.
    std::streambuf* replaced = _replaced.load();
    return replaced != nullptr ? replaced->sputn(text, count) : 0;
  }

  int sync() override {
    if (current != nullptr) {
      return 0;
    }
    std::streambuf* replaced = _replaced.load();
    return replaced != nullptr ? replaced->pubsync() : -1;
  }

 private:
  std::ostream& _stream;
  const ConsoleStream _kind;
  // Read by threads without a scope that still write through this router after it is removed.
  std::atomic<std::streambuf*> _replaced{nullptr};
};

namespace {

struct Routers {
  std::mutex mutex;
  int openScopes = 0;  // in all threads
  ConsoleRouter out{std::cout, ConsoleStream::Out};
  ConsoleRouter err{std::cerr, ConsoleStream::Err};
};

Routers& TheRouters() {
  static Routers routers;
  return routers;
}

}  // namespace

ModuleConsole::ModuleConsole(ConsoleLineSink sink) : _sink(std::move(sink)), _outer(current) {
  current = this;
  Routers& routers = TheRouters();
  const std::lock_guard<std::mutex> lock(routers.mutex);
  if (routers.openScopes++ == 0) {
    routers.out.Install();
    routers.err.Install();
  }
}

ModuleConsole::~ModuleConsole() {
  for (const ConsoleStream stream : {ConsoleStream::Out, ConsoleStream::Err}) {
    if (!_unfinished[IndexOf(stream)].empty()) {
      _sink(stream, _unfinished[IndexOf(stream)]);
    }
  }
  current = _outer;
  Routers& routers = TheRouters();
  const std::lock_guard<std::mutex> lock(routers.mutex);
  if (--routers.openScopes == 0) {
    routers.out.Remove();
    routers.err.Remove();
  }
}

void ModuleConsole::Take(ConsoleStream stream, const char* text, std::size_t count) {
  std::string& line = _unfinished[IndexOf(stream)];
  for (std::size_t index = 0; index < count; ++index) {
    if (text[index] == '\n') {
      _sink(stream, line);
      line.clear();
    } else {
      line += text[index];
    }
  }
}

}  // namespace tevgst
