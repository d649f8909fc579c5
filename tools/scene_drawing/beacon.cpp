#include "tools/scene_drawing/beacon.h"

#include <opencv2/imgproc.hpp>

namespace tevscene {
namespace {

const cv::Scalar kBase(45, 45, 50);
const cv::Scalar kDark(30, 70, 120);
const cv::Scalar kLit(40, 150, 255);
const cv::Scalar kCore(170, 240, 255);
const cv::Scalar kGlow(20, 60, 110);  // added to the wall around a lit dome

}  // namespace

cv::Rect DrawBeacon(cv::Mat& image, cv::Point centre, int radius, bool lit) {
  const cv::Rect inFrame(cv::Point(0, 0), image.size());
  cv::Rect box(centre.x - radius, centre.y - radius, 2 * radius + 1, 2 * radius + 1);
  if (lit) {
    const int reach = radius * 2;
    const cv::Rect halo =
        cv::Rect(centre.x - reach, centre.y - reach, 2 * reach + 1, 2 * reach + 1) & inFrame;
    if (!halo.empty()) {
      cv::Mat glow(halo.size(), CV_8UC3, cv::Scalar::all(0));
      cv::circle(glow, centre - halo.tl(), reach * 3 / 4, kGlow, cv::FILLED);
      const int soften = (reach / 2) | 1;
      cv::GaussianBlur(glow, glow, cv::Size(soften, soften), 0);
      image(halo) += glow;
      box |= halo;
    }
  }
  cv::rectangle(image, cv::Rect(centre.x - radius, centre.y + radius / 2, 2 * radius + 1, radius),
                kBase, cv::FILLED);
  cv::ellipse(image, centre + cv::Point(0, radius / 2), cv::Size(radius, radius), 0, 180, 360,
              lit ? kLit : kDark, cv::FILLED);
  if (lit) {
    cv::circle(image, centre, radius / 3, kCore, cv::FILLED);
  }
  return box & inFrame;
}

}  // namespace tevscene
