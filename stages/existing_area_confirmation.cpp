// Follow stage: runs while an area is followed.
//
// Input: the whole frame and its camera. It runs the detector on _detectedArea only (a
// view, no copy), moves the detections into frame pixels and puts each through a fixed
// chain: exclusive regions, class and score gate, size gate, track votes, movement and
// flicker cues, the colour test for weakly voted fire, and the veto of the filter model's
// objects (fetched at most once a frame, and only when needed). Output: the accepted
// detections, each with a confidence of at least _detectionScoreThreshold.
// Changes: the track table (records updated, unseen tracks aged) and the detection state;
// a frame without an accepted detection counts as a no-detection step.
#include "detector/TEVCustomFS.h"

#include <algorithm>

std::vector<KESTROVIA::Object> TEVCustomFS::ProcessExistingDetectedArea(const cv::Mat& frame,
                                                                        const std::string& cameraId,
                                                                        cv::Mat& image) {
  std::vector<KESTROVIA::Object> result;
  std::vector<KESTROVIA::Object> detections;
  _detector->RunInference(cv::Mat(frame, _detectedArea), cameraId.c_str(), detections);

  std::unordered_set<int> seenTrackIds;
  std::vector<KESTROVIA::Object> exclusions;
  bool exclusionsFetched = false;
  for (KESTROVIA::Object& detection : detections) {
    if (!TakeIntoFrame(detection, cameraId)) {
      continue;
    }
    const bool fire = detection.classId == 0 && (detection.confidence >= LOW_CONF_FIRE_THRESHOLD ||
                                                 detection.confidence >= _detectionScoreThreshold);
    const bool smoke = detection.classId == 2 && detection.confidence >= _smokeScoreSetting;
    if (!(fire || smoke) || !IsObjectLargeEnough(detection.box, frame.size())) {
      continue;
    }

    seenTrackIds.insert(detection.trackId);
    UpdateTrackHistory(detection.trackId, detection.classId, detection.box, detection.confidence,
                       MeanBoxBrightness(frame, detection.box));
    const bool confirmed = IsTrackConfirmed(detection.trackId);
    const bool lowConfirmed = IsTrackLowConfirmed(detection.trackId);
    if (!confirmed && !lowConfirmed) {
      continue;
    }
    const bool flicker = HasFireFlicker(detection.trackId);
    const bool movement = HasBboxMovement(detection.trackId);
    if (confirmed ? !(movement || flicker)
                  : !(detection.classId == 0 && flicker && IsFireDetected(frame, detection.box))) {
      continue;
    }

    if (!exclusionsFetched) {
      exclusions = FindExcludedObjects(frame, cameraId, image);
      exclusionsFetched = true;
    }
    if (IsOverlapping(detection, exclusions, 0.0f)) {
      _positiveDetectionCount = std::max(_positiveDetectionCount - 1, 0);
      if (_positiveDetectionCount == 0) {
        _positiveDetection = false;
      }
      continue;
    }
    AddConfirmedDetection(detection, result);
    ++_positiveDetectionCount;
  }

  AgeTracks(seenTrackIds);
  if (result.empty()) {
    UpdateNoDetectionCondition();
  }
  return result;
}
