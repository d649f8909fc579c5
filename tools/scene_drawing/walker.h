// A person-sized figure walking across the synthetic room: dark clothes and a grey head,
// so it moves like a person without taking flame colours.
#pragma once

#include <opencv2/core.hpp>

namespace tevscene {

// Draws the walker with its feet at feet, height pixels tall, legs and arms in the pose
// of the given frame. Returns its bounding box.
cv::Rect DrawWalker(cv::Mat& image, cv::Point feet, int height, int frame);

}  // namespace tevscene
