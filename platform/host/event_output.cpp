#include "platform/host/event_output.h"

#include "platform/host/host_failure.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <system_error>

namespace tevhost {

EventOutput::EventOutput(const std::string& target) {
  if (target == "-") {
    _file = stdout;
    _name = "standard output";
    return;
  }
  _path = target;
  _name = "the events file " + target;
  errno = 0;
  _file = std::fopen(target.c_str(), "wb");
  if (_file == nullptr) {
    throw HostFailure(FailureKind::Output, "cannot write " + _name + ": " + std::strerror(errno));
  }
  // Unbuffered: a line goes to the file in one write, and nothing of a failed one is left
  // behind to reach the file later.
  std::setvbuf(_file, nullptr, _IONBF, 0);
}

EventOutput::~EventOutput() {
  if (_file != nullptr && _file != stdout) {
    std::fclose(_file);
  }
}

bool EventOutput::WriteLine(const std::string& text) {
  if (!_failure.empty()) {
    return false;
  }
  const std::string line = text + "\n";
  errno = 0;
  const bool written =
      std::fwrite(line.data(), 1, line.size(), _file) == line.size() && std::fflush(_file) == 0;
  if (written) {
    _wholeBytes += static_cast<long long>(line.size());
    return true;
  }
  _failure = errno != 0 ? std::strerror(errno) : "the write failed";
  std::clearerr(_file);
  // What reached the file of this line goes again: readers find whole events only.
  std::error_code ignored;
  if (!_path.empty() && std::filesystem::is_regular_file(_path, ignored)) {
    std::filesystem::resize_file(_path, static_cast<std::uintmax_t>(_wholeBytes), ignored);
  }
  return false;
}

}  // namespace tevhost
