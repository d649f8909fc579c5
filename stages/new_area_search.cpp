// Search stage: runs while no area is followed.
//
// Input: the whole frame and its camera. It advances the tile scan, runs the detector on
// the current tile only (a view, no copy), and chooses among the detections that pass the
// exclusive regions and the class, score and size gates: the best one scoring above
// _highScoreThreshold, or else the best weak fire that passes the colour test. Output: the
// chosen detection, in frame pixels, if it scored high and no object of the filter model
// overlaps it; nothing otherwise.
// Changes: _detectedArea (the crop square around the choice, or zero), the scan position,
// and for a reported choice the positive-detection state.
#include "detector/TEVCustomFS.h"

std::vector<KESTROVIA::Object> TEVCustomFS::FindNewDetectedArea(const cv::Mat& frame,
                                                                const std::string& cameraId,
                                                                cv::Mat& image) {
  std::vector<KESTROVIA::Object> result;
  _positiveDetection = false;
  _positiveDetectionCount = 0;

  UpdatePriorityRegion(frame);
  _detectedArea = getRegionByPriority(_currentPriority);
  if (!IsDetectedAreaValid(_detectedArea)) {
    ResetDetectedArea();
    return result;
  }

  std::vector<KESTROVIA::Object> detections;
  _detector->RunInference(cv::Mat(frame, _detectedArea), cameraId.c_str(), detections);
  if (detections.empty()) {
    ResetDetectedArea();
    return result;
  }

  // A later detection must score strictly higher to replace the chosen one.
  const KESTROVIA::Object* chosen = nullptr;
  float chosenScore = 0.0f;
  bool chosenIsHigh = false;
  for (KESTROVIA::Object& detection : detections) {
    // The user's exclusive regions and the filter model's veto hold here as in the follow
    // stage: an alarm the user has ruled out must not be raised by the search either.
    if (!TakeIntoFrame(detection, cameraId) ||
        !IsFireOrSmoke(detection.classId, detection.confidence) ||
        !IsObjectLargeEnough(detection.box, frame.size())) {
      continue;
    }
    if (detection.confidence > _highScoreThreshold) {
      if (!chosenIsHigh || detection.confidence > chosenScore) {
        chosen = &detection;
        chosenScore = detection.confidence;
        chosenIsHigh = true;
      }
    } else if (detection.classId == 0 && detection.confidence >= LOW_CONF_FIRE_THRESHOLD &&
               !chosenIsHigh && detection.confidence > chosenScore &&
               IsFireDetected(frame, detection.box)) {
      // Weak fire that looks like fire: worth a look, not worth a report.
      chosen = &detection;
      chosenScore = detection.confidence;
    }
  }

  if (chosen == nullptr) {
    ResetDetectedArea();
    return result;
  }
  RefineDetectedArea(frame, *chosen);
  if (chosenIsHigh && !IsOverlapping(*chosen, FindExcludedObjects(frame, cameraId, image), 0.0f)) {
    result.push_back(*chosen);
    UpdatePositiveDetection();
  }
  return result;
}
