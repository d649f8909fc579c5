// What one camera's frame looked like where the camera's images last covered it: a grey
// copy of the whole frame that each image fills in at its place (LocateView). Callers hand
// views of changing places (tiles, followed areas), so a region's change is measured since
// it was last seen, which is the previous frame wherever the caller keeps looking.
#pragma once

#include "platform/tevlib/view_placement.h"

#include <opencv2/core.hpp>

namespace tevlib {

class BrightnessMemory {
 public:
  // Mean absolute grey-level change within box (pixels of the image grey, which lies at
  // placement) since it was last seen; 0 where it was never seen.
  double MeanChange(const cv::Mat& grey, const ViewPlacement& placement, const cv::Rect& box) const;

  // Keeps grey as the latest look at its place. A frame of another size starts afresh.
  void Remember(const cv::Mat& grey, const ViewPlacement& placement);

 private:
  cv::Mat _grey;  // frame-sized
  cv::Mat _seen;  // 255 where _grey holds a look
};

}  // namespace tevlib
