// The per-frame entry point. Frames of one object are processed one at a time under
// _mutex, whatever thread calls.
//
// Input: an 8-bit BGR frame and the camera it came from. Output: the confirmed
// detections. A frame that is empty or has a side below _minFrameSize, an object without
// a loaded detector, or a frame that is not 8-bit BGR (reported once per object) gives an
// empty list and changes nothing. Otherwise exactly
// one stage runs: the follow stage while _detectedArea is valid, the search otherwise.
// A frame without a reported detection is a no-detection step of the state machine.
#include "detector/TEVCustomFS.h"

#include <iostream>

std::vector<CustomObject> TEVCustomFS::RunInference(const cv::Mat& frame) {
  return RunInference(frame, "CustomCam");
}

std::vector<CustomObject> TEVCustomFS::RunInference(const cv::Mat& frame,
                                                    const std::string& cameraId) {
  std::lock_guard<std::recursive_mutex> lock(_mutex);
  if (frame.empty() || frame.cols < _minFrameSize || frame.rows < _minFrameSize || !_detector) {
    return {};
  }
  // Any other kind of frame would give wrong colours and brightness, not an error.
  if (frame.type() != CV_8UC3) {
    if (!_frameTypeReported) {
      _frameTypeReported = true;
      std::cerr << "TEVCustomFS::RunInference: frames must be 8-bit, three-channel BGR (CV_8UC3), "
                   "but this one is "
                << cv::typeToString(frame.type()) << "; convert frames before handing them in. "
                << "Such frames give no detections." << std::endl;
    }
    return {};
  }
  // Nothing may cross the plug-in boundary: a failed frame is an empty frame, counted and
  // reported on the error stream. State changed before the failure stays, and the frame is
  // not counted as a no-detection step.
  try {
    GetModelParameters();

    // The host changed the frame size while an area was held: the area cannot be followed
    // in this frame, so give the hold up and search.
    const cv::Rect frameRect(0, 0, frame.cols, frame.rows);
    if (IsDetectedAreaValid(_detectedArea) && (_detectedArea & frameRect) != _detectedArea) {
      ResetDetectionState();
    }

    cv::Mat image;
    const std::vector<KESTROVIA::Object> objects =
        IsDetectedAreaValid(_detectedArea) ? ProcessExistingDetectedArea(frame, cameraId, image)
                                           : FindNewDetectedArea(frame, cameraId, image);
    std::vector<CustomObject> result = ConvertToCustomObjects(objects);
    if (result.empty()) {
      UpdateNoDetectionCondition();
    }
    return result;
  } catch (const std::exception& error) {
    _frameFailures.Failed(error.what());
  } catch (...) {
    _frameFailures.Failed("an exception that is not a std::exception");
  }
  return {};
}
