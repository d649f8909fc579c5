// How the stages take in what a model reports.
//
// IsUsableBox: whether a box's coordinates and sides lie within a range that no frame
// exceeds, so that moving it into frame pixels, widening it and multiplying its sides
// cannot overflow. TakeIntoFrame: a detection of the detector, run on _detectedArea, moved
// into frame pixels and given its camera, unless it is unusable or lies in one of the
// user's exclusive regions (more than _roiOverlapThreshold of its box inside one). Changes
// nothing but the detection handed in.
#include "detector/TEVCustomFS.h"

#include <cstdlib>

namespace {

// Far beyond any frame: sides of a million pixels.
constexpr int kLargestCoordinate = 1 << 20;

bool InRange(int value) {
  return std::abs(static_cast<long long>(value)) <= kLargestCoordinate;
}

}  // namespace

bool TEVCustomFS::IsUsableBox(const cv::Rect& box) {
  return InRange(box.x) && InRange(box.y) && InRange(box.width) && InRange(box.height);
}

bool TEVCustomFS::TakeIntoFrame(KESTROVIA::Object& detection, const std::string& cameraId) const {
  if (!IsUsableBox(detection.box)) {
    return false;
  }
  detection.box.x += _detectedArea.x;
  detection.box.y += _detectedArea.y;
  detection.cameraId = cameraId;
  return !IsInsideRegion(detection.box, _exclusiveROIs, _roiOverlapThreshold);
}
