// Movement and flicker cues of a track, and the motion-region count test.
//
// Input: a track id (its window in _trackHistory) or a list of motion regions. Output:
// whether the track's box moved or changed size between the oldest and newest entry of
// its window, whether the brightness of its box flickers, whether a motion list is
// plausible. Changes nothing.
#include "detector/TEVCustomFS.h"

#include <cmath>
#include <cstddef>

bool TEVCustomFS::HasBboxMovement(int trackId) const {
  const auto found = _trackHistory.find(trackId);
  if (found == _trackHistory.end() || found->second.bboxHistory.size() < 2) {
    return false;
  }
  // Only the ends of the window count: a box that wanders and comes back has not moved.
  const cv::Rect& first = found->second.bboxHistory.front();
  const cv::Rect& last = found->second.bboxHistory.back();

  const float meanWidth = static_cast<float>(first.width + last.width) * 0.5f;
  const float meanHeight = static_cast<float>(first.height + last.height) * 0.5f;
  if (meanWidth < 1.0f || meanHeight < 1.0f) {
    return false;
  }
  const float dx = ((last.x + last.width * 0.5f) - (first.x + first.width * 0.5f)) / meanWidth;
  const float dy = ((last.y + last.height * 0.5f) - (first.y + first.height * 0.5f)) / meanHeight;
  const double dxSquared = static_cast<double>(dx) * dx;
  const double dySquared = static_cast<double>(dy) * dy;
  const float shift = static_cast<float>(std::sqrt(dxSquared + dySquared));

  const float lastArea = static_cast<float>(static_cast<long long>(last.width) * last.height);
  const float firstArea = static_cast<float>(static_cast<long long>(first.width) * first.height);
  const float meanArea = (lastArea + firstArea) * 0.5f;
  const float areaChange = meanArea > 0.0f ? std::fabs(lastArea - firstArea) / meanArea : 0.0f;

  return shift > BBOX_CHANGE_THRESHOLD || areaChange > BBOX_CHANGE_THRESHOLD;
}

bool TEVCustomFS::HasFireFlicker(int trackId) const {
  const auto found = _trackHistory.find(trackId);
  if (found == _trackHistory.end()) {
    return false;
  }
  const std::deque<double>& values = found->second.vMeanHistory;
  if (values.size() < static_cast<std::size_t>(FLICKER_MIN_SAMPLES)) {
    return false;
  }
  const double count = static_cast<double>(values.size());
  double sum = 0.0;
  for (double value : values) {
    sum += value;
  }
  const double mean = sum / count;
  double squaredDeviations = 0.0;
  for (double value : values) {
    squaredDeviations += (value - mean) * (value - mean);
  }
  // Population deviation: the window is all there is, not a sample of something larger.
  return std::sqrt(squaredDeviations / count) > FLICKER_V_STD_THRESHOLD;
}

bool TEVCustomFS::ValidateMotionCorrelation(const std::vector<cv::Rect>& motionRegions) const {
  // Plausible only when something moves, and not in many places at once.
  return !motionRegions.empty() && static_cast<long long>(motionRegions.size()) < _maxMotionRegions;
}
