#include "tools/scene_drawing/sunlight.h"

#include "tools/scene_drawing/blend.h"

#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <cmath>
#include <vector>

namespace tevscene {
namespace {

const cv::Vec3f kSkyTop(120, 90, 200);
const cv::Vec3f kHorizon(40, 150, 255);
const cv::Scalar kSun(170, 235, 255);
const cv::Scalar kCloud(90, 80, 150);
const cv::Scalar kMullion(40, 42, 48);
const cv::Scalar kSunlight(150, 215, 255);

constexpr double kCloudSpeed = 0.4;  // pixels per frame at a 480-line window

// A float image of one channel: the patch seen through moving leaves, 1 lit, 0 shaded.
cv::Mat Leaves(cv::Size size, int frame, std::uint64_t seed) {
  const cv::Size larger(size.width + size.width / 2, size.height + size.height / 2);
  cv::Mat coarse(std::max(2, larger.height / 14), std::max(2, larger.width / 14), CV_32FC1);
  cv::RNG(seed * 31 + 5).fill(coarse, cv::RNG::UNIFORM, 0.0, 1.0);
  cv::Mat pattern;
  cv::resize(coarse, pattern, larger, 0, 0, cv::INTER_CUBIC);
  // The wind sways the branches: the shadows move back and forth.
  const int dx = cvRound(size.width / 8.0 * (1.0 + std::sin(frame * 0.21)));
  const int dy = cvRound(size.height / 8.0 * (1.0 + std::cos(frame * 0.13)));
  cv::Mat leaves = pattern(cv::Rect(dx, dy, size.width, size.height)).clone();
  leaves = (leaves - 0.35) * 3.0;
  cv::threshold(leaves, leaves, 1.0, 1.0, cv::THRESH_TRUNC);
  cv::threshold(leaves, leaves, 0.0, 0.0, cv::THRESH_TOZERO);
  return leaves;
}

}  // namespace

cv::Rect DrawSunsetSky(cv::Mat& image, const cv::Rect& glass, int frame) {
  const cv::Rect inFrame = glass & cv::Rect(cv::Point(0, 0), image.size());
  if (inFrame.empty()) {
    return {};
  }
  cv::Mat sky = image(inFrame);
  for (int y = 0; y < sky.rows; ++y) {
    const float share = static_cast<float>(y) / std::max(1, sky.rows - 1);
    const cv::Vec3f colour = kSkyTop * (1.0f - share) + kHorizon * share;
    sky.row(y).setTo(cv::Scalar(colour[0], colour[1], colour[2]));
  }
  const double unit = inFrame.height / 200.0;
  cv::circle(sky, {sky.cols * 2 / 3, sky.rows * 4 / 5}, std::max(2, cvRound(22 * unit)), kSun,
             cv::FILLED);
  // Long thin clouds drifting slowly across the sun.
  for (int band = 0; band < 3; ++band) {
    const double travel =
        std::fmod(frame * kCloudSpeed * unit + band * sky.cols / 3.0, sky.cols * 1.5);
    const cv::Point centre(cvRound(travel - sky.cols * 0.25), sky.rows * (45 + 15 * band) / 100);
    cv::ellipse(sky, centre, {std::max(2, sky.cols / 4), std::max(1, cvRound(5 * unit))}, 0, 0, 360,
                kCloud, cv::FILLED);
  }
  cv::line(sky, {sky.cols / 2, 0}, {sky.cols / 2, sky.rows}, kMullion,
           std::max(1, cvRound(4 * unit)));
  return inFrame;
}

cv::Rect DrawSunPatch(cv::Mat& image, const cv::Rect& patch, int frame, std::uint64_t seed) {
  const cv::Rect inFrame = patch & cv::Rect(cv::Point(0, 0), image.size());
  if (inFrame.empty()) {
    return {};
  }
  cv::Mat light(patch.size(), CV_32FC1, cv::Scalar(0));
  cv::ellipse(light, {patch.width / 2, patch.height / 2}, {patch.width / 2, patch.height / 2}, 0, 0,
              360, cv::Scalar(0.85), cv::FILLED);
  const int soften = std::max(3, patch.height / 6) | 1;
  cv::GaussianBlur(light, light, cv::Size(soften, soften), 0);
  light = light.mul(0.3 + 0.7 * Leaves(patch.size(), frame, seed));
  const cv::Mat lit = light(inFrame - patch.tl());
  BlendColour(image, inFrame, lit, kSunlight);
  return inFrame;
}

}  // namespace tevscene
