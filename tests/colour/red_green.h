// Red and green frames for the colour tests, and the hue range that tells them apart.
#pragma once

#include "tests/support/test_peer.h"

#include <opencv2/core.hpp>
#include <opencv2/imgproc.hpp>

#include <vector>

namespace tevtest {

using Range = TEVCustomFSTestPeer::ColourRange;
using Ranges = std::vector<Range>;

inline const cv::Scalar kRed(0, 0, 255);
inline const cv::Scalar kGreen(0, 255, 0);
// Hues 0 to 30 on OpenCV's scale: red counts, green (hue 60) does not. A blurred red-green
// edge turns from one to the other exactly at the edge (the blur is symmetric), so the
// matching share of a region is known to the pixel.
inline const Range kRedSide{cv::Scalar(0, 0, 0, 0), cv::Scalar(30, 255, 255, 0)};

// The mask the colour test cleans, computed here only to show what the cleaning removes.
inline int MatchingBeforeCleaning(const cv::Mat& frame, const cv::Rect& region,
                                  const Range& range) {
  cv::Mat blurred;
  cv::GaussianBlur(frame(region), blurred, cv::Size(21, 21), 0, 0, cv::BORDER_DEFAULT);
  cv::Mat hsv;
  cv::cvtColor(blurred, hsv, cv::COLOR_BGR2HSV);
  cv::Mat mask;
  cv::inRange(hsv, range.first, range.second, mask);
  return cv::countNonZero(mask);
}

}  // namespace tevtest
