// A failure the host reports to its user in one line. Its kind says whose fault it is,
// and tev-host exits with the kind's number.
#pragma once

#include <stdexcept>
#include <string>

namespace tevhost {

enum class FailureKind {
  Usage = 2,   // the command line or the settings file
  Input = 3,   // an input cannot be opened
  Module = 4,  // the module cannot be loaded, has no Create, or Initialize fails
  Output = 5,  // an output (events, annotated video, snapshot, report) cannot be written
};

class HostFailure : public std::runtime_error {
 public:
  HostFailure(FailureKind kind, const std::string& message)
      : std::runtime_error(message), _kind(kind) {}

  FailureKind Kind() const { return _kind; }

 private:
  FailureKind _kind;
};

}  // namespace tevhost
