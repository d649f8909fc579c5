// Light and haze laid over a scene: a colour blended into a region of the picture, pixel by
// pixel, by an opacity map.
#pragma once

#include <opencv2/core.hpp>

namespace tevscene {

// image(region) = image(region) * (1 - alpha) + colour * alpha, with alpha a CV_32FC1 map of
// region's size holding opacities in 0..1; image is CV_8UC3.
void BlendColour(cv::Mat& image, const cv::Rect& region, const cv::Mat& alpha,
                 const cv::Scalar& colour);

}  // namespace tevscene
