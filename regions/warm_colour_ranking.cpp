// Warm-colour ranking of the scan tiles.
//
// Input: the current BGR frame and the tiles in _cachedSections. Counts the warm pixels
// (reds to yellows, saturated and bright) of each tile and renumbers the priorities so that
// the warmest tile is searched first; equal counts keep list order, i.e. the more central
// tile first. Changes: only the priority fields of _cachedSections, and only once every
// tile has been counted, so an OpenCV failure (absorbed silently) leaves them as they were.
#include "detector/TEVCustomFS.h"

#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <utility>

namespace {

// HSV on OpenCV's 8-bit scale, bounds inclusive; red wraps around at the top of the hue
// scale.
const cv::Scalar kRedToYellowLower(0, 100, 150, 0);
const cv::Scalar kRedToYellowUpper(30, 255, 255, 0);
const cv::Scalar kRedWrapLower(160, 100, 150, 0);
const cv::Scalar kRedWrapUpper(180, 255, 255, 0);

}  // namespace

void TEVCustomFS::RankCachedSectionsByWarmColor(const cv::Mat& frame) {
  if (_cachedSections.empty() || frame.empty()) {
    return;
  }
  try {
    cv::Mat hsv;
    cv::cvtColor(frame, hsv, cv::COLOR_BGR2HSV);
    cv::Mat warm;
    cv::Mat wrapped;
    cv::inRange(hsv, kRedToYellowLower, kRedToYellowUpper, warm);
    cv::inRange(hsv, kRedWrapLower, kRedWrapUpper, wrapped);
    cv::bitwise_or(warm, wrapped, warm);

    const cv::Rect frameRect(0, 0, frame.cols, frame.rows);
    std::vector<std::pair<int, int>> scores;  // (warm count, list index)
    scores.reserve(_cachedSections.size());
    for (std::size_t i = 0; i < _cachedSections.size(); ++i) {
      const cv::Rect inside = _cachedSections[i].region & frameRect;
      const int count = inside.width * inside.height >= 1 ? cv::countNonZero(warm(inside)) : 0;
      scores.emplace_back(count, static_cast<int>(i));
    }

    std::stable_sort(scores.begin(), scores.end(),
                     [](const std::pair<int, int>& a, const std::pair<int, int>& b) {
                       return a.first > b.first;
                     });
    for (std::size_t k = 0; k < scores.size(); ++k) {
      _cachedSections[static_cast<std::size_t>(scores[k].second)].priority =
          static_cast<int>(k) + 1;
    }
  } catch (const cv::Exception&) {
    // A frame the colour conversion cannot take keeps the previous order.
  }
}
