// The first output of a run that could not be written. Setting it ends the run: every input
// stops at its next frame, and the program ends with FailureKind::Output after its summary.
// Shared by the threads of parallel inputs.
#pragma once

#include <atomic>
#include <mutex>
#include <string>

namespace tevhost {

class OutputFailure {
 public:
  // Keeps the first message; later ones follow from it.
  void Set(const std::string& message);
  bool IsSet() const { return _set; }
  std::string Message() const;

 private:
  std::atomic<bool> _set{false};
  mutable std::mutex _mutex;
  std::string _message;
};

}  // namespace tevhost
