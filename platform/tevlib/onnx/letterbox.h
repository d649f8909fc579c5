// Fitting an image into a model's input the way YOLO models are trained: scaled to fit
// whole with its aspect ratio kept, centred (an odd leftover pixel goes to the bottom or
// right), the rest padded with grey 114. Maps boxes found in the input back to the image.
#pragma once

#include <opencv2/core.hpp>

namespace tevlib {

class Letterbox {
 public:
  Letterbox(cv::Size image, cv::Size input);

  // The image, input-sized.
  cv::Mat Apply(const cv::Mat& image) const;

  // A box in input pixels, in image pixels (not clipped).
  cv::Rect2d ToImage(const cv::Rect2d& box) const;

 private:
  cv::Size _input;
  double _scale;
  cv::Size _scaled;
  cv::Point _pad;
};

}  // namespace tevlib
