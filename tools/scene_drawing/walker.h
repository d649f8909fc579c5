// A person-sized figure walking across the synthetic room: dark clothes and a grey head
// by default, so it moves like a person without taking flame colours; in orange or red
// clothes it is what a fire detector must not take for fire.
#pragma once

#include <opencv2/core.hpp>

namespace tevscene {

inline const cv::Scalar kDarkClothes(112, 72, 52);
inline const cv::Scalar kOrangeClothes(20, 110, 235);

// Draws the walker with its feet at feet, height pixels tall, legs and arms in the pose
// of the given frame. Returns its bounding box.
cv::Rect DrawWalker(cv::Mat& image, cv::Point feet, int height, int frame,
                    const cv::Scalar& clothes = kDarkClothes);

}  // namespace tevscene
