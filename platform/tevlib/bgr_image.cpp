#include "platform/tevlib/bgr_image.h"

#include <opencv2/imgproc.hpp>

#include <stdexcept>

namespace tevlib {

cv::Mat AsBgr(const cv::Mat& image) {
  switch (image.type()) {
    case CV_8UC3:
      return image;
    case CV_8UC1: {
      cv::Mat bgr;
      cv::cvtColor(image, bgr, cv::COLOR_GRAY2BGR);
      return bgr;
    }
    case CV_8UC4: {
      cv::Mat bgr;
      cv::cvtColor(image, bgr, cv::COLOR_BGRA2BGR);
      return bgr;
    }
    default:
      throw std::invalid_argument(
          "TEVLIB: images must be 8-bit with 1, 3 or 4 channels (BGR frames)");
  }
}

}  // namespace tevlib
