// A flame for synthetic scenes: the scene generator draws it, and the tests that need a
// fire the built-in fire-colour model detects draw the same one.
#pragma once

#include <opencv2/core.hpp>

namespace tevscene {

// Draws a flame standing on base: nested ellipses, deep orange outside to pale yellow
// inside. A flickering flame changes its height, sway and glow from frame to frame; scale
// sizes it (1 is 46 pixels wide and about 110 high). Returns the flame's bounding box.
cv::Rect DrawFlame(cv::Mat& image, cv::Point base, int frame, bool flickering, double scale = 1.0);

}  // namespace tevscene
