// The per-frame entry point. Frames of one object are processed one at a time under
// _mutex, whatever thread calls.
//
// Input: an 8-bit BGR frame and the camera it came from. Output: the confirmed
// detections. A frame that is empty or has a side below _minFrameSize, or an object
// without a loaded detector, gives an empty list and changes nothing.
#include "detector/TEVCustomFS.h"

#include <exception>

std::vector<CustomObject> TEVCustomFS::RunInference(const cv::Mat& frame) {
  return RunInference(frame, "CustomCam");
}

std::vector<CustomObject> TEVCustomFS::RunInference(const cv::Mat& frame,
                                                    [[maybe_unused]] const std::string& cameraId) {
  std::lock_guard<std::recursive_mutex> lock(_mutex);
  if (frame.empty() || frame.cols < _minFrameSize || frame.rows < _minFrameSize || !_detector) {
    return {};
  }
  try {
    GetModelParameters();
    // The detection stages, the conversion and the no-detection update follow here.
  } catch (const std::exception&) {
    return {};
  }
  return {};
}
