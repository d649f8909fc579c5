// What a front end keeps of one camera's reports: its alarms by the gap rule, and the state
// of the search as the reports show it (what the annotation draws).
#pragma once

#include "platform/host/alarm_tracker.h"
#include "platform/host/annotation.h"
#include "platform/host/frame_report.h"

#include <optional>

namespace tevhost {

class CameraWatch {
 public:
  explicit CameraWatch(double alarmGapMs) : _alarms(alarmGapMs) {}

  // Takes the report of the next frame into both, sets its alarm (the running alarm's
  // number, 0 for none) and says whether an alarm started or ended with it.
  AlarmTracker::Change Record(FrameReport& report);
  // Ends the alarm still running when the input ends.
  std::optional<AlarmEnd> Finish() { return _alarms.Finish(); }

  const SearchState& Search() const { return _search; }

 private:
  AlarmTracker _alarms;
  SearchState _search;
};

}  // namespace tevhost
