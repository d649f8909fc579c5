// Runs one clip through both modes at once: every frame goes to the module's detector
// object and to the raw detector, and each mode's alarms are kept by tev-host's rule
// (platform/host/alarm_tracker.h), frames timed as tev-host times them.
#pragma once

#include "interface/ITEVCustomClass.h"
#include "platform/eval/metrics.h"
#include "platform/eval/raw_detector.h"
#include "platform/host/alarm_tracker.h"
#include "platform/host/frame_source.h"

#include <string>
#include <vector>

namespace teveval {

struct ModeRun {
  std::vector<tevhost::AlarmEnd> alarms;
  FrameSightings sightings;       // per frame: what it detected
  double inferenceSeconds = 0.0;  // spent in the detector's calls
};

struct ClipRun {
  long frames = 0;
  double fps = 0.0;  // the rate the frames were timed at
  cv::Size size;     // of the first frame
  ModeRun module;
  ModeRun raw;
  std::string endNote;  // why the clip ended early; empty when it ran to its end
};

// Runs every frame of frames; camera is the id handed to both detectors. Exceptions of
// the raw detector's library pass to the caller.
ClipRun RunClip(tevhost::FrameSource& frames, ITEVCustomClass& module, RawDetector& raw,
                const std::string& camera, double alarmGapMs);

}  // namespace teveval
