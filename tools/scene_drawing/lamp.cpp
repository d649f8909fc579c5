#include "tools/scene_drawing/lamp.h"

#include <opencv2/imgproc.hpp>

namespace tevscene {
namespace {

const cv::Scalar kPole(50, 50, 55);
const cv::Scalar kShade(30, 140, 250);
const cv::Scalar kBulbGlow(140, 225, 255);

}  // namespace

cv::Rect DrawLamp(cv::Mat& image, cv::Point base, int height) {
  const int shadeHeight = height / 4;
  const int shadeTop = base.y - height;
  const int topHalf = height / 10;
  const int bottomHalf = height / 6;
  cv::line(image, {base.x, base.y}, {base.x, shadeTop + shadeHeight}, kPole,
           std::max(2, height / 40));
  cv::ellipse(image, {base.x, base.y}, {bottomHalf / 2, std::max(1, height / 60)}, 0, 0, 360, kPole,
              cv::FILLED);
  const std::vector<cv::Point> shade = {{base.x - topHalf, shadeTop},
                                        {base.x + topHalf, shadeTop},
                                        {base.x + bottomHalf, shadeTop + shadeHeight},
                                        {base.x - bottomHalf, shadeTop + shadeHeight}};
  cv::fillConvexPoly(image, shade, kShade);
  cv::ellipse(image, {base.x, shadeTop + shadeHeight * 3 / 4},
              {bottomHalf / 2, std::max(1, shadeHeight / 5)}, 0, 0, 360, kBulbGlow, cv::FILLED);
  return cv::Rect(base.x - bottomHalf, shadeTop, 2 * bottomHalf + 1, height + 1) &
         cv::Rect(0, 0, image.cols, image.rows);
}

}  // namespace tevscene
