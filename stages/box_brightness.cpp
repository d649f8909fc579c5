// Brightness of a detection's box, as the V channel of 8-bit HSV would give it: V is
// max(B, G, R), so the frame need not be converted. Throws cv::Exception for frames that
// are not 8-bit BGR, as the conversion would.
#include "detector/TEVCustomFS.h"

#include <algorithm>
#include <cstdint>

double TEVCustomFS::MeanBoxBrightness(const cv::Mat& frame, const cv::Rect& box) {
  CV_CheckTypeEQ(frame.type(), CV_8UC3, "frames are 8-bit, three-channel BGR");
  const cv::Rect clipped = box & cv::Rect(0, 0, frame.cols, frame.rows);
  if (clipped.area() <= 0) {
    return 0.0;
  }
  std::uint64_t sum = 0;
  for (int row = clipped.y; row < clipped.y + clipped.height; ++row) {
    const std::uint8_t* pixel = frame.ptr<std::uint8_t>(row) + 3 * clipped.x;
    for (int column = 0; column < clipped.width; ++column, pixel += 3) {
      sum += std::max({pixel[0], pixel[1], pixel[2]});
    }
  }
  // Scaled the way cv::mean scales, so the result is bit for bit the same.
  return static_cast<double>(sum) * (1.0 / static_cast<double>(clipped.area()));
}
