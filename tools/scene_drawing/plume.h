// A plume of grey smoke rising from a source: soft puffs that leave the source one after
// another, grow, drift and fade as they rise.
#pragma once

#include <opencv2/core.hpp>

namespace tevscene {

// Draws the plume frames after it began at source; scale sizes it (1 suits a 480-line
// frame). Returns the box of what is visible, empty when nothing is yet.
cv::Rect DrawPlume(cv::Mat& image, cv::Point source, int frames, double scale);

}  // namespace tevscene
