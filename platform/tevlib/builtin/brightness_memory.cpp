#include "platform/tevlib/builtin/brightness_memory.h"

namespace tevlib {

double BrightnessMemory::MeanChange(const cv::Mat& grey, const ViewPlacement& placement,
                                    const cv::Rect& box) const {
  const cv::Rect inImage = box & cv::Rect(0, 0, grey.cols, grey.rows);
  if (_grey.size() != placement.frameSize || inImage.empty()) {
    return 0.0;
  }
  const cv::Rect inFrame = inImage + placement.view.tl();
  const cv::Mat seen = _seen(inFrame);
  if (cv::countNonZero(seen) == 0) {
    return 0.0;
  }
  cv::Mat change;
  cv::absdiff(grey(inImage), _grey(inFrame), change);
  return cv::mean(change, seen)[0];
}

void BrightnessMemory::Remember(const cv::Mat& grey, const ViewPlacement& placement) {
  if (_grey.size() != placement.frameSize) {
    _grey = cv::Mat::zeros(placement.frameSize, CV_8UC1);
    _seen = cv::Mat::zeros(placement.frameSize, CV_8UC1);
  }
  grey.copyTo(_grey(placement.view));
  _seen(placement.view).setTo(255);
}

}  // namespace tevlib
