// Exclusion stage: what the filter model sees around the followed area.
//
// Input: the whole frame and its camera. It runs the filter model on _detectedArea widened
// by 100 pixels on every side and cut to the frame (a view, no copy). Output: one default
// Object per found object whose class is not in _ignoredFilterClasses, with only its box
// set, in frame pixels. Changes nothing.
#include "detector/TEVCustomFS.h"

#include <algorithm>

namespace {

constexpr int kExclusionMargin = 100;

}  // namespace

std::vector<KESTROVIA::Object> TEVCustomFS::FindExcludedObjects(const cv::Mat& frame,
                                                                const std::string& cameraId,
                                                                cv::Mat& /*image*/) {
  const int left = std::max(_detectedArea.x - kExclusionMargin, 0);
  const int top = std::max(_detectedArea.y - kExclusionMargin, 0);
  // A region clipped at the left or top keeps its size and reaches further on the other side.
  const cv::Rect region(left, top,
                        std::min(_detectedArea.width + 2 * kExclusionMargin, frame.cols - left),
                        std::min(_detectedArea.height + 2 * kExclusionMargin, frame.rows - top));

  std::vector<KESTROVIA::Object> found;
  _filter->RunInference(cv::Mat(frame, region), cameraId.c_str(), found);

  std::vector<KESTROVIA::Object> excluded;
  for (const KESTROVIA::Object& object : found) {
    if (_ignoredFilterClasses.count(object.classId) != 0 || !IsUsableBox(object.box)) {
      continue;
    }
    KESTROVIA::Object& exclusion = excluded.emplace_back();
    exclusion.box = object.box + region.tl();
  }
  return excluded;
}
