// A television on the wall: a dark bezel around pictures that cut from shot to shot, in
// warm and cool colours, with the brightness flicker of a cheap panel filmed by a camera.
#pragma once

#include <opencv2/core.hpp>

#include <cstdint>

namespace tevscene {

// Draws the screen over screen (bezel included) showing the picture of the given frame;
// the seed chooses the shots. Returns screen, clipped to the image.
cv::Rect DrawScreen(cv::Mat& image, const cv::Rect& screen, int frame, std::uint64_t seed);

}  // namespace tevscene
