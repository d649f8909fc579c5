// Alarms of one input: an alarm starts on a frame with detections and runs while frames
// with detections follow one another; it ends once no detection has come for the gap.
#pragma once

#include <optional>

namespace tevhost {

struct AlarmStart {
  int alarm = 0;  // numbered from 1 per input
  long frame = 0;
  double timestampMs = 0.0;
};

struct AlarmEnd {
  int alarm = 0;
  long firstFrame = 0;
  double startMs = 0.0;
  long lastFrame = 0;  // the last frame with detections
  double endMs = 0.0;
  long framesWithDetections = 0;
};

class AlarmTracker {
 public:
  explicit AlarmTracker(double gapMs) : _gapMs(gapMs) {}

  struct Change {
    std::optional<AlarmEnd> ended;  // reported before an alarm that starts on the same frame
    std::optional<AlarmStart> started;
  };

  // Feeds the frames of the input in order.
  Change Frame(long frame, double timestampMs, bool hasDetections);
  // Ends the alarm still running when the input ends.
  std::optional<AlarmEnd> Finish();

  bool Active() const { return _current.has_value(); }
  int Count() const { return _count; }

 private:
  double _gapMs;
  int _count = 0;
  std::optional<AlarmEnd> _current;
};

}  // namespace tevhost
