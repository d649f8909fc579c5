#include "tools/scene_drawing/reflection.h"

#include "tools/scene_drawing/blend.h"

#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <cmath>
#include <vector>

namespace tevscene {
namespace {

const cv::Scalar kGlint(80, 170, 255);
constexpr double kOpacity = 0.85;

}  // namespace

cv::Rect DrawFloorReflection(cv::Mat& image, const cv::Rect& streak, int frame) {
  const cv::Rect inFrame = streak & cv::Rect(cv::Point(0, 0), image.size());
  if (inFrame.empty()) {
    return {};
  }
  // One band every few lines, each swaying and brightening with the ripple passing by.
  cv::Mat light(streak.size(), CV_32FC1, cv::Scalar(0));
  const int bands = std::max(4, streak.height / 5);
  for (int band = 0; band < bands; ++band) {
    const double along = static_cast<double>(band) / bands;
    const double ripple = std::sin(frame * 0.6 - band * 1.3);
    const double half = streak.width / 2.0 * (1.0 - 0.6 * along) * (0.75 + 0.25 * ripple);
    const double sway = streak.width / 8.0 * std::sin(frame * 0.35 + band * 0.9);
    const cv::Point centre(cvRound(streak.width / 2.0 + sway),
                           cvRound((band + 0.5) * streak.height / bands));
    const cv::Size axes(std::max(1, cvRound(half)), std::max(1, streak.height / bands));
    const float strength =
        static_cast<float>(kOpacity * (0.65 + 0.35 * ripple) * (1.0 - 0.5 * along));
    cv::ellipse(light, centre, axes, 0, 0, 360, cv::Scalar(strength), cv::FILLED);
  }
  const int soften = std::max(3, streak.width / 10) | 1;
  cv::GaussianBlur(light, light, cv::Size(soften, soften), 0);
  const cv::Mat lit = light(inFrame - streak.tl());
  BlendColour(image, inFrame, lit, kGlint);
  return inFrame;
}

}  // namespace tevscene
