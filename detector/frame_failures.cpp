#include "detector/frame_failures.h"

#include <iostream>

namespace {

// "1 frame", "3 more frames"...
std::string Frames(std::uint64_t count, const std::string& adjective = "") {
  return std::to_string(count) + " " + adjective + (count == 1 ? "frame" : "frames");
}

}  // namespace

void FrameFailures::Failed(const std::string& what, Clock::time_point now) {
  ++_count;
  _lastWhat = what;
  if (!_lastLine) {
    WriteLine("RunInference", "a frame failed and gave no detections: " + what);
  } else if (now - *_lastLine >= kLineInterval) {
    WriteLine("RunInference", Frames(_count - _countAtLastLine, "more ") +
                                  " failed and gave no detections; the last: " + what);
  } else {
    return;
  }
  _lastLine = now;
  _countAtLastLine = _count;
}

void FrameFailures::Close() {
  if (_count == _countAtLastLine) {
    return;
  }
  WriteLine("Destroy", Frames(_count - _countAtLastLine, "more ") +
                           " failed and gave no detections; the last: " + _lastWhat);
  _countAtLastLine = _count;
}

void FrameFailures::WriteLine(const char* operation, const std::string& text) {
  std::cerr << "TEVCustomFS::" << operation << ": " << text << " (" << Frames(_count)
            << " failed so far)" << std::endl;
}
