#include "tools/scene_drawing/walker.h"

#include <opencv2/imgproc.hpp>

#include <cmath>

namespace tevscene {
namespace {

const cv::Scalar kTrousers(70, 60, 55);
const cv::Scalar kHead(118, 126, 136);

constexpr double kStrideRate = 0.45;  // radians of leg swing per frame

}  // namespace

cv::Rect DrawWalker(cv::Mat& image, cv::Point feet, int height, int frame,
                    const cv::Scalar& clothes) {
  const double swing = std::sin(frame * kStrideRate);
  const int headRadius = std::max(2, height / 14);
  const int shoulders = feet.y - height + 2 * headRadius;
  const int hips = feet.y - height * 9 / 20;
  const int limb = std::max(2, height / 12);
  const int stride = cvRound(swing * height / 6);

  cv::line(image, {feet.x, hips}, {feet.x + stride, feet.y}, kTrousers, limb);
  cv::line(image, {feet.x, hips}, {feet.x - stride, feet.y}, kTrousers, limb);
  cv::rectangle(image, cv::Rect(feet.x - height / 9, shoulders, 2 * (height / 9), hips - shoulders),
                clothes, cv::FILLED);
  cv::line(image, {feet.x, shoulders + limb}, {feet.x - stride / 2, hips}, clothes, limb * 2 / 3);
  cv::line(image, {feet.x, shoulders + limb}, {feet.x + stride / 2, hips}, clothes, limb * 2 / 3);
  cv::circle(image, {feet.x, feet.y - height + headRadius}, headRadius, kHead, cv::FILLED);

  const int halfWidth = std::max(height / 9, std::abs(stride) + limb / 2);
  return cv::Rect(feet.x - halfWidth, feet.y - height, 2 * halfWidth + 1, height + limb / 2) &
         cv::Rect(0, 0, image.cols, image.rows);
}

}  // namespace tevscene
