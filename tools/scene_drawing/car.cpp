#include "tools/scene_drawing/car.h"

#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <vector>

namespace tevscene {
namespace {

const cv::Scalar kBody(35, 30, 190);
const cv::Scalar kGlass(90, 70, 60);
const cv::Scalar kTyre(25, 25, 25);
const cv::Scalar kHub(150, 150, 150);
const cv::Scalar kHeadlight(190, 240, 250);
const cv::Scalar kTaillight(30, 20, 240);

}  // namespace

cv::Rect DrawCar(cv::Mat& image, cv::Point ground, int length) {
  const int half = length / 2;
  const int wheel = std::max(2, length / 9);
  const int sill = ground.y - wheel;
  const int bodyTop = sill - length / 6;
  const int roof = bodyTop - length / 7;
  const int left = ground.x - half;
  const int right = ground.x + half;

  cv::rectangle(image, cv::Rect(left, bodyTop, length, sill - bodyTop + wheel / 2), kBody,
                cv::FILLED);
  const std::vector<cv::Point> cabin = {{left + length / 5, bodyTop},
                                        {left + length * 3 / 10, roof},
                                        {left + length * 13 / 20, roof},
                                        {left + length * 4 / 5, bodyTop}};
  cv::fillConvexPoly(image, cabin, kBody);
  const int inset = std::max(1, length / 40);
  const std::vector<cv::Point> windows = {{left + length / 5 + 2 * inset, bodyTop - inset},
                                          {left + length * 3 / 10 + inset, roof + inset},
                                          {left + length * 13 / 20 - inset, roof + inset},
                                          {left + length * 4 / 5 - 2 * inset, bodyTop - inset}};
  cv::fillConvexPoly(image, windows, kGlass);
  const int lamp = std::max(1, length / 25);
  cv::rectangle(image, cv::Rect(right - lamp, bodyTop + lamp, lamp, 2 * lamp), kHeadlight,
                cv::FILLED);
  cv::rectangle(image, cv::Rect(left, bodyTop + lamp, lamp, 2 * lamp), kTaillight, cv::FILLED);
  for (const int axle : {left + length / 5, right - length / 5}) {
    cv::circle(image, {axle, sill + wheel / 2}, wheel, kTyre, cv::FILLED);
    cv::circle(image, {axle, sill + wheel / 2}, wheel / 2, kHub, cv::FILLED);
  }
  return cv::Rect(left, roof, length + 1, ground.y + wheel / 2 - roof + 1) &
         cv::Rect(0, 0, image.cols, image.rows);
}

}  // namespace tevscene
