// Confirmed detections as standard region-of-interest metadata on their buffer, so that any
// downstream element or application can read them: one GstVideoRegionOfInterestMeta per
// detection, of type "fire" or "smoke", with its box in frame pixels and a parameter
// "detection" holding the score as "confidence" (a double from 0 to 1).
#pragma once

#include "interface/CustomObject.h"

#include <gst/gst.h>
#include <opencv2/core.hpp>

#include <vector>

namespace tevgst {

// The buffer must be writable. Boxes are clipped to frameSize; one that misses the frame is
// left out.
void AttachDetections(GstBuffer* buffer, const std::vector<CustomObject>& detections,
                      cv::Size frameSize);

}  // namespace tevgst
