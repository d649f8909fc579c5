// Motion stage: moving regions inside the followed area, from the optional motion model.
//
// Input: the whole frame and its camera. Runs only while _motionScoreThreshold is below 1
// and a motion model is loaded. Output: one default Object per moving region, box in
// frame pixels, leaving out regions that cover half or more of the area (by IoU); nothing
// when the model reports no region or more than 10. Changes nothing.
#include "detector/TEVCustomFS.h"

std::vector<KESTROVIA::Object> TEVCustomFS::FindMovementObjects(const cv::Mat& frame,
                                                                const std::string& cameraId,
                                                                cv::Mat& /*image*/) {
  std::vector<KESTROVIA::Object> moving;
  if (_motionScoreThreshold >= 1.0f || !_motionDetector || !_motionModelLoaded) {
    return moving;
  }

  std::vector<KESTROVIA::Object> found;
  _motionDetector->RunInference(cv::Mat(frame, _detectedArea), cameraId.c_str(), found);
  if (found.empty() || found.size() > static_cast<std::size_t>(_maxMotionRegions)) {
    return moving;
  }

  for (const KESTROVIA::Object& object : found) {
    if (!IsUsableBox(object.box)) {
      continue;
    }
    const cv::Rect box = object.box + _detectedArea.tl();
    // A region that covers most of the area says nothing about where the motion is.
    if (calculateIoU(_detectedArea, box) < 0.5f) {
      moving.emplace_back().box = box;
    }
  }
  return moving;
}
