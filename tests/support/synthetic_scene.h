// Synthetic scenes for tests: a camera's view of a wall, and a flame drawn on it.
#pragma once

#include <opencv2/core.hpp>
#include <opencv2/imgproc.hpp>

#include <cmath>

namespace tevtest {

inline const cv::Size kFrameSize(480, 360);

// A grey wall with the noise of a camera, different in every frame.
inline cv::Mat Wall(int frame) {
  cv::Mat noise(kFrameSize, CV_16SC3);
  cv::RNG(1000 + frame).fill(noise, cv::RNG::NORMAL, 0, 3);
  cv::Mat wall(kFrameSize, CV_16SC3, cv::Scalar::all(120));
  wall += noise;
  wall.convertTo(wall, CV_8UC3);
  return wall;
}

// Draws a flame standing on base: nested ellipses, deep orange outside to pale yellow
// inside. A flickering flame changes its height, sway and glow from frame to frame.
// Returns the flame's bounding box.
inline cv::Rect DrawFlame(cv::Mat& image, cv::Point base, int frame, bool flickering) {
  const int phase = flickering ? frame : 0;
  const double height = 110 * (0.8 + 0.2 * std::sin(phase * 1.9) + 0.05 * std::cos(phase * 4.3));
  const double sway = 8 * std::sin(phase * 2.7);
  const double width = 46;
  const struct {
    double scale;
    cv::Scalar bgr;
  } layers[] = {{1.0, {20, 80, 230}}, {0.72, {40, 160, 255}}, {0.45, {150, 235, 255}}};
  cv::Rect bounds;
  for (const auto& layer : layers) {
    const cv::Size axes(cvRound(width * layer.scale / 2), cvRound(height * layer.scale / 2));
    const cv::Point centre(cvRound(base.x + sway * layer.scale), base.y - axes.height);
    cv::ellipse(image, centre, axes, 0, 0, 360, layer.bgr, cv::FILLED);
    if (bounds.empty()) {
      bounds = cv::Rect(centre.x - axes.width, centre.y - axes.height, 2 * axes.width + 1,
                        2 * axes.height + 1);
    }
  }
  return bounds;
}

}  // namespace tevtest
