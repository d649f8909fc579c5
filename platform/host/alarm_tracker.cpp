#include "platform/host/alarm_tracker.h"

namespace tevhost {

AlarmTracker::Change AlarmTracker::Frame(long frame, double timestampMs, bool hasDetections) {
  Change change;
  if (_current && timestampMs - _current->endMs >= _gapMs) {
    change.ended = Finish();
  }
  if (!hasDetections) {
    return change;
  }
  if (!_current) {
    _current = AlarmEnd{++_count, frame, timestampMs, frame, timestampMs, 0};
    change.started = AlarmStart{_count, frame, timestampMs};
  }
  _current->lastFrame = frame;
  _current->endMs = timestampMs;
  ++_current->framesWithDetections;
  return change;
}

std::optional<AlarmEnd> AlarmTracker::Finish() {
  std::optional<AlarmEnd> ended;
  ended.swap(_current);
  return ended;
}

}  // namespace tevhost
