#include "platform/tevlib/view_placement.h"

namespace tevlib {

ViewPlacement LocateView(const cv::Mat& image) {
  if (image.empty() || image.dims > 2) {
    return {cv::Rect(0, 0, image.cols, image.rows), cv::Size(image.cols, image.rows)};
  }
  cv::Size frameSize;
  cv::Point offset;
  image.locateROI(frameSize, offset);
  return {cv::Rect(offset, image.size()), frameSize};
}

}  // namespace tevlib
