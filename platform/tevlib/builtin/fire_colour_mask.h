// Pixels that have the colour of flame, by the red-dominance rules of the flame-colour
// literature (Chen et al.): red bright and dominant, R >= 150 and R > G >= B (a hue between
// red and yellow), and a saturation that may fall as red nears white, S >= 0.6 * (255 - R)
// with S on OpenCV's 0..255 scale, so that the yellow-white core of a flame counts while
// grey, white and pale surfaces do not. The mask is cleaned up by an opening (drops specks)
// and a closing (joins the tongues of one flame).
#pragma once

#include <opencv2/core.hpp>

namespace tevlib {

// bgr: 8-bit BGR. Returns an 8-bit mask of the same size, 255 on flame colour.
cv::Mat FireColourMask(const cv::Mat& bgr);

}  // namespace tevlib
