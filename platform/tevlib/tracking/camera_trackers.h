// The tracking an instance of the library does once SetTracker(0, 1) has turned it on: one
// ByteTrack per camera identifier (byte_tracker.h). Detections come in the pixels of a view
// into a frame; they are tracked at their place in the whole frame (LocateView), so that ids
// survive the caller moving its view. Only trackId is written: boxes stay the detections'
// own, in view pixels.
#pragma once

#include "interface/Object.h"
#include "platform/tevlib/tracking/byte_tracker.h"

#include <opencv2/core.hpp>

#include <map>
#include <string>
#include <vector>

namespace tevlib {

class CameraTrackers {
 public:
  // Sets the trackId of every detection from the tracker of cameraId.
  void Assign(const cv::Mat& view, const std::string& cameraId,
              std::vector<KESTROVIA::Object>& detections);

 private:
  std::map<std::string, ByteTracker> _trackers;
};

}  // namespace tevlib
