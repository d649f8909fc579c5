// The reflection of a warm light on a glossy floor: a tall orange streak broken into bands
// that shimmer as the floor's surface ripples.
#pragma once

#include <opencv2/core.hpp>

namespace tevscene {

// Draws the reflection within streak (its widest reach) in the pose of the given frame.
// Returns the part of streak within the image.
cv::Rect DrawFloorReflection(cv::Mat& image, const cv::Rect& streak, int frame);

}  // namespace tevscene
