// Warm-colour ranking of the scan tiles.
//
// Input: the current BGR frame and the tiles in _cachedSections. Counts the warm pixels
// (reds to yellows, saturated and bright) of each tile and renumbers the priorities so that
// the warmest tile is searched first; equal counts keep list order, i.e. the more central
// tile first. Changes: only the priority fields of _cachedSections, and only once every
// tile has been counted, so an OpenCV failure (absorbed silently) leaves them as they were.
// 8-bit BGR frames are counted without building any image of the frame's size.
#include "detector/TEVCustomFS.h"

#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <utility>
#include <vector>

namespace {

// HSV on OpenCV's 8-bit scale, bounds inclusive; red wraps around at the top of the hue
// scale.
const cv::Scalar kRedToYellowLower(0, 100, 150, 0);
const cv::Scalar kRedToYellowUpper(30, 255, 255, 0);
const cv::Scalar kRedWrapLower(160, 100, 150, 0);
const cv::Scalar kRedWrapUpper(180, 255, 255, 0);

// Warm pixels of each area through the whole frame's HSV conversion and two range masks,
// for frames that are not 8-bit BGR. cv::cvtColor throws for frames without three channels.
std::vector<int> CountByConversion(const cv::Mat& frame, const std::vector<cv::Rect>& areas) {
  cv::Mat hsv;
  cv::cvtColor(frame, hsv, cv::COLOR_BGR2HSV);
  cv::Mat warm;
  cv::Mat wrapped;
  cv::inRange(hsv, kRedToYellowLower, kRedToYellowUpper, warm);
  cv::inRange(hsv, kRedWrapLower, kRedWrapUpper, wrapped);
  cv::bitwise_or(warm, wrapped, warm);
  std::vector<int> counts;
  counts.reserve(areas.size());
  for (const cv::Rect& area : areas) {
    counts.push_back(area.width * area.height >= 1 ? cv::countNonZero(warm(area)) : 0);
  }
  return counts;
}

}  // namespace

void TEVCustomFS::RankCachedSectionsByWarmColor(const cv::Mat& frame) {
  if (_cachedSections.empty() || frame.empty()) {
    return;
  }
  try {
    const cv::Rect frameRect(0, 0, frame.cols, frame.rows);
    std::vector<cv::Rect> areas;  // the part of each section inside the frame
    areas.reserve(_cachedSections.size());
    for (const ImageSection& section : _cachedSections) {
      areas.push_back(section.region & frameRect);
    }
    // 8-bit BGR frames, the frames hosts deliver, are counted in one pass that builds no
    // image of the frame's size.
    const std::vector<int> counts =
        frame.type() == CV_8UC3 ? CountWarmPixels(frame, areas) : CountByConversion(frame, areas);

    std::vector<std::pair<int, int>> scores;  // (warm count, list index)
    scores.reserve(_cachedSections.size());
    for (std::size_t i = 0; i < counts.size(); ++i) {
      scores.emplace_back(counts[i], static_cast<int>(i));
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
