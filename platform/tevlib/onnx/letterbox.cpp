#include "platform/tevlib/onnx/letterbox.h"

#include <opencv2/imgproc.hpp>

#include <algorithm>

namespace tevlib {

constexpr double kPadValue = 114.0;

Letterbox::Letterbox(cv::Size image, cv::Size input)
    : _input(input),
      _scale(std::min(static_cast<double>(input.width) / image.width,
                      static_cast<double>(input.height) / image.height)),
      _scaled(std::max(1, cvRound(image.width * _scale)),
              std::max(1, cvRound(image.height * _scale))),
      _pad((input.width - _scaled.width) / 2, (input.height - _scaled.height) / 2) {}

cv::Mat Letterbox::Apply(const cv::Mat& image) const {
  cv::Mat scaled;
  cv::resize(image, scaled, _scaled, 0, 0, cv::INTER_LINEAR);
  cv::Mat boxed;
  cv::copyMakeBorder(scaled, boxed, _pad.y, _input.height - _scaled.height - _pad.y, _pad.x,
                     _input.width - _scaled.width - _pad.x, cv::BORDER_CONSTANT,
                     cv::Scalar::all(kPadValue));
  return boxed;
}

cv::Rect2d Letterbox::ToImage(const cv::Rect2d& box) const {
  return cv::Rect2d((box.x - _pad.x) / _scale, (box.y - _pad.y) / _scale, box.width / _scale,
                    box.height / _scale);
}

}  // namespace tevlib
