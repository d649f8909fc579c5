// A red car seen from the side: body, cabin with windows, wheels, head and tail lights.
#pragma once

#include <opencv2/core.hpp>

namespace tevscene {

// Draws the car with the middle of its underside at ground, length pixels long, driving to
// the right. Returns its box, clipped to the image.
cv::Rect DrawCar(cv::Mat& image, cv::Point ground, int length);

}  // namespace tevscene
