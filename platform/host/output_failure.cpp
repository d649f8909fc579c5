#include "platform/host/output_failure.h"

namespace tevhost {

void OutputFailure::Set(const std::string& message) {
  const std::lock_guard<std::mutex> lock(_mutex);
  if (!_set) {
    _message = message;
    _set = true;
  }
}

std::string OutputFailure::Message() const {
  const std::lock_guard<std::mutex> lock(_mutex);
  return _message;
}

}  // namespace tevhost
