#include "platform/host/capture_frames.h"

#include <opencv2/imgproc.hpp>

#include <cmath>

namespace tevhost {

cv::Mat ToBgr(const cv::Mat& frame) {
  cv::Mat eightBit = frame;
  if (frame.depth() == CV_16U) {
    frame.convertTo(eightBit, CV_8U, 1.0 / 257.0);
  } else if (frame.depth() != CV_8U) {
    frame.convertTo(eightBit, CV_8U);
  }
  cv::Mat bgr;
  switch (eightBit.channels()) {
    case 1:
      cv::cvtColor(eightBit, bgr, cv::COLOR_GRAY2BGR);
      return bgr;
    case 4:
      cv::cvtColor(eightBit, bgr, cv::COLOR_BGRA2BGR);
      return bgr;
    default:
      return eightBit;
  }
}

double RateOf(const cv::VideoCapture& capture, double fallbackFps) {
  const double fps = capture.get(cv::CAP_PROP_FPS);
  return std::isfinite(fps) && fps > 0.0 && fps <= 1000.0 ? fps : fallbackFps;
}

}  // namespace tevhost
