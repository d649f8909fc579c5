// The engines work on 8-bit BGR images. Frames are that already and are used as they are;
// grey and BGRA images are converted.
#pragma once

#include <opencv2/core.hpp>

namespace tevlib {

// Shares the pixels of an 8-bit BGR image; throws std::invalid_argument for an image that
// is not 8-bit with 1, 3 or 4 channels.
cv::Mat AsBgr(const cv::Mat& image);

}  // namespace tevlib
