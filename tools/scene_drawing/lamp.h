// A floor lamp with a glowing orange shade: flame-coloured, but steady.
#pragma once

#include <opencv2/core.hpp>

namespace tevscene {

// Draws the lamp standing at base, height pixels tall. The lamp looks the same in every
// frame. Returns its bounding box.
cv::Rect DrawLamp(cv::Mat& image, cv::Point base, int height);

}  // namespace tevscene
