// Sunlight that fire detectors stumble on: a sunset sky filling a window, orange and red
// and slowly changing as clouds drift by, and a patch of low sun on a wall or floor, warm
// and bright, stirred by the shadows of leaves.
#pragma once

#include <opencv2/core.hpp>

#include <cstdint>

namespace tevscene {

// Fills glass with the sunset of the given frame. Returns glass.
cv::Rect DrawSunsetSky(cv::Mat& image, const cv::Rect& glass, int frame);

// Lays the sun patch of the given frame over patch (an ellipse within it); the seed
// chooses the leaves. Returns the part of patch that is lit.
cv::Rect DrawSunPatch(cv::Mat& image, const cv::Rect& patch, int frame, std::uint64_t seed);

}  // namespace tevscene
