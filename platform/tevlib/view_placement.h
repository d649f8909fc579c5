// Where an image handed to RunInference lies in its whole frame. Callers hand views into
// a frame; cv::Mat::locateROI finds the view's offset.
#pragma once

#include <opencv2/core.hpp>

namespace tevlib {

struct ViewPlacement {
  cv::Rect view;       // the image's rectangle in frame pixels
  cv::Size frameSize;  // size of the whole frame
};

ViewPlacement LocateView(const cv::Mat& image);

}  // namespace tevlib
