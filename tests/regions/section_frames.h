// Synthetic frames for the tile tests: black (no warm colour) with warm patches painted in.
#pragma once

#include "tests/support/test_peer.h"

#include <gtest/gtest.h>
#include <opencv2/core.hpp>

#include <vector>

namespace tevtest {

// Saturated, bright red: HSV (0, 255, 255), warm.
inline const cv::Scalar kWarmBgr(0, 0, 255);

inline cv::Mat BlackFrame(cv::Size size) {
  return cv::Mat(size, CV_8UC3, cv::Scalar::all(0));
}

inline cv::Mat FrameWithWarmPatches(cv::Size size, const std::vector<cv::Rect>& patches) {
  cv::Mat frame = BlackFrame(size);
  for (const cv::Rect& patch : patches) {
    frame(patch).setTo(kWarmBgr);
  }
  return frame;
}

// The sections' regions ordered by priority 1..n; fails the test if the priorities are not
// a permutation of 1..n.
inline std::vector<cv::Rect> RegionsByPriority(
    const std::vector<TEVCustomFSTestPeer::ImageSection>& sections) {
  std::vector<cv::Rect> regions(sections.size());
  std::vector<bool> seen(sections.size(), false);
  for (const auto& section : sections) {
    const int index = section.priority - 1;
    EXPECT_TRUE(index >= 0 && index < static_cast<int>(sections.size()) && !seen[index])
        << "priority " << section.priority << " of " << sections.size();
    if (index >= 0 && index < static_cast<int>(sections.size())) {
      regions[static_cast<std::size_t>(index)] = section.region;
      seen[static_cast<std::size_t>(index)] = true;
    }
  }
  return regions;
}

}  // namespace tevtest
