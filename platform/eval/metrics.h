// What the evaluation measures of one mode against a clip's ground truth, as an operator
// would count it. An alarm spans its first to its last frame with detections. An event is
// detected by an alarm that, on one of the event's frames, shows a detection of the event's
// class overlapping the event's box of that frame (any detection of the class where the
// truth gives no box for the frame); its time to alarm runs from the event's first frame to
// the first such frame. An alarm that detects no event is a false alarm, also when it runs
// during one: its detections were of another class or elsewhere. The looser measure of an
// alarm merely running during the event is kept beside it. Frame by frame, the frames with
// detections are counted within events and outside them.
#pragma once

#include "platform/eval/ground_truth.h"
#include "platform/host/alarm_tracker.h"

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace teveval {

// One detection a mode reported on a frame.
struct Sighting {
  std::string kind;  // "fire", "smoke", or the class name of another class
  cv::Rect box;
};

// Per frame of a clip, what a mode reported.
using FrameSightings = std::vector<std::vector<Sighting>>;

// The kind of a detection of the detector's class classId: 0 is fire, 2 is smoke.
std::string KindOfClass(int classId, const std::string& className);

struct EventOutcome {
  bool detected = false;
  long delayFrames = 0;        // meaningful when detected
  bool alarmRunning = false;   // an alarm ran during the event, whatever it showed
};

struct AlarmScore {
  std::vector<EventOutcome> events;  // in the order of the ground truth's events
  std::vector<bool> falseAlarm;      // per alarm, in order
};

AlarmScore ScoreAlarms(const std::vector<TruthRun>& events,
                       const std::vector<tevhost::AlarmEnd>& alarms, const FrameSightings& frames);

struct FrameCounts {
  long eventFrames = 0;  // frames within some event
  long eventFramesWithDetections = 0;
  long otherFrames = 0;  // frames within no event
  long otherFramesWithDetections = 0;
};

FrameCounts CountDetectionFrames(const std::vector<TruthRun>& events, const FrameSightings& frames);

// One mode on one clip: what is summarised.
struct ModeOutcome {
  std::vector<TruthRun> events;
  AlarmScore score;
  FrameCounts detectionFrames;
  long frames = 0;
  double fps = 0.0;               // of the ground truth, to turn frames into seconds
  double inferenceSeconds = 0.0;  // spent in the detector's calls
};

struct TimeToAlarm {
  double medianFrames = 0.0;
  double percentile90Frames = 0.0;
  double medianSeconds = 0.0;
  double percentile90Seconds = 0.0;
};

struct EventCount {
  int events = 0;
  int detected = 0;
};

struct Summary {
  int events = 0;
  int detected = 0;
  int missed = 0;
  int alarmRunning = 0;  // events during which some alarm ran
  std::map<std::string, EventCount> byClass;  // "fire", "smoke"
  int alarms = 0;
  int falseAlarms = 0;
  FrameCounts detectionFrames;
  long frames = 0;
  double videoSeconds = 0.0;
  double falseAlarmsPerHour = 0.0;
  std::optional<TimeToAlarm> timeToAlarm;  // none when no event was detected
  double inferenceSeconds = 0.0;
  double framesPerSecond = 0.0;  // frames over the time spent in the detector's calls
};

// Over one clip or many. Percentiles are nearest-rank over the detected events.
Summary Summarise(const std::vector<const ModeOutcome*>& outcomes);

}  // namespace teveval
