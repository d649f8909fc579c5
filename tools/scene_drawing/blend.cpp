#include "tools/scene_drawing/blend.h"

#include <vector>

namespace tevscene {

void BlendColour(cv::Mat& image, const cv::Rect& region, const cv::Mat& alpha,
                 const cv::Scalar& colour) {
  cv::Mat opacity;
  cv::merge(std::vector<cv::Mat>(3, alpha), opacity);
  cv::Mat pixels;
  image(region).convertTo(pixels, CV_32FC3);
  const cv::Mat tint(region.size(), CV_32FC3, colour);
  const cv::Mat keep = cv::Scalar::all(1.0) - opacity;
  pixels = pixels.mul(keep) + tint.mul(opacity);
  pixels.convertTo(image(region), CV_8UC3);
}

}  // namespace tevscene
