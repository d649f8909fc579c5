// The detection state machine: the detector is either searching the frame or holding
// _detectedArea and following what it found there.
//
// Reads and changes the state members _detectedArea, _detectionActive, _noDetectionCount,
// _positiveDetection and _positiveDetectionCount. Giving up a hold also empties
// _trackHistory, since its tracks belong to the area given up. Decides whether an area is
// large enough to be followed.
#include "detector/TEVCustomFS.h"

namespace {

// No-detection steps after which a held area is given up. A follow frame without an
// accepted detection takes two of them, so a hold survives 39 such frames.
constexpr int kHoldLength = 80;

}  // namespace

bool TEVCustomFS::IsDetectedAreaValid(const cv::Rect& rect) const {
  return rect.width > _minDetectedAreaSize && rect.height > _minDetectedAreaSize;
}

void TEVCustomFS::ResetDetectedArea() {
  _detectedArea = cv::Rect(0, 0, 0, 0);
}

// The count of confirmed detections in a row is kept by the stages themselves.
void TEVCustomFS::UpdatePositiveDetection() {
  _detectionActive = true;
  _noDetectionCount = 0;
  _positiveDetection = true;
}

void TEVCustomFS::UpdateNoDetectionCondition() {
  _positiveDetection = false;
  _positiveDetectionCount = 0;
  if (_detectionActive && ++_noDetectionCount < kHoldLength) {
    return;
  }
  ResetDetectionState();
}

void TEVCustomFS::ResetDetectionState() {
  _noDetectionCount = 0;
  ResetDetectedArea();
  _detectionActive = false;
  _trackHistory.clear();
}
