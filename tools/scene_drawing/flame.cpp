#include "tools/scene_drawing/flame.h"

#include <opencv2/imgproc.hpp>

#include <cmath>

namespace tevscene {

cv::Rect DrawFlame(cv::Mat& image, cv::Point base, int frame, bool flickering, double scale) {
  const int phase = flickering ? frame : 0;
  const double height =
      scale * 110 * (0.8 + 0.2 * std::sin(phase * 1.9) + 0.05 * std::cos(phase * 4.3));
  const double sway = scale * 8 * std::sin(phase * 2.7);
  const double width = scale * 46;
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

}  // namespace tevscene
