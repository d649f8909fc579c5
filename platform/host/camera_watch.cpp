#include "platform/host/camera_watch.h"

namespace tevhost {

AlarmTracker::Change CameraWatch::Record(FrameReport& report) {
  const AlarmTracker::Change change =
      _alarms.Frame(report.frame, report.timestampMs, !report.detections.empty());
  report.alarm = _alarms.Active() ? _alarms.Count() : 0;
  _search.Update(report);
  return change;
}

}  // namespace tevhost
