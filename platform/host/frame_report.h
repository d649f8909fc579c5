// What the host learnt from one frame: the detector's results and the alarm they belong
// to. The events, the annotated video and the snapshots are all made from it.
#pragma once

#include "interface/CustomObject.h"

#include <vector>

namespace tevhost {

struct FrameReport {
  long frame = 0;  // from 0
  double timestampMs = 0.0;
  std::vector<CustomObject> detections;
  int alarm = 0;  // the running alarm's number, 0 when none runs
};

}  // namespace tevhost
