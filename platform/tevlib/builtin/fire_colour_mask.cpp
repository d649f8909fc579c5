#include "platform/tevlib/builtin/fire_colour_mask.h"

#include <opencv2/imgproc.hpp>

namespace tevlib {
namespace {

constexpr int kMinRed = 150;

bool IsFlameColour(int b, int g, int r) {
  if (r < kMinRed || r <= g || g < b) {
    return false;
  }
  // S = 255 * (R - B) / R >= 0.6 * (255 - R), in integers.
  return 1275 * (r - b) >= 3 * (255 - r) * r;
}

}  // namespace

cv::Mat FireColourMask(const cv::Mat& bgr) {
  cv::Mat mask(bgr.size(), CV_8UC1);
  for (int y = 0; y < bgr.rows; ++y) {
    const cv::Vec3b* pixel = bgr.ptr<cv::Vec3b>(y);
    unsigned char* out = mask.ptr<unsigned char>(y);
    for (int x = 0; x < bgr.cols; ++x) {
      out[x] = IsFlameColour(pixel[x][0], pixel[x][1], pixel[x][2]) ? 255 : 0;
    }
  }
  static const cv::Mat open = cv::getStructuringElement(cv::MORPH_ELLIPSE, cv::Size(3, 3));
  static const cv::Mat close = cv::getStructuringElement(cv::MORPH_ELLIPSE, cv::Size(7, 7));
  cv::morphologyEx(mask, mask, cv::MORPH_OPEN, open);
  cv::morphologyEx(mask, mask, cv::MORPH_CLOSE, close);
  return mask;
}

}  // namespace tevlib
