// A clip's timeline as an image: the ground truth (fire and smoke events, distractors),
// the module's alarms and the raw detector's alarms on one time axis, with the frames that
// had detections marked under each mode's alarms.
#pragma once

#include "platform/eval/clip_result.h"

#include <opencv2/core.hpp>

namespace teveval {

cv::Mat DrawTimeline(const ClipResult& clip);

}  // namespace teveval
