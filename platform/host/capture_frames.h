// What the readers of files, folders, cameras and streams share: frames as the module takes
// them, and the rate a capture reports.
#pragma once

#include <opencv2/core.hpp>
#include <opencv2/videoio.hpp>

namespace tevhost {

// The module takes 8-bit three-channel BGR frames only: grey, BGRA and 16-bit frames are
// converted.
cv::Mat ToBgr(const cv::Mat& frame);

// The capture's frame rate when it reports a plausible one, else fallbackFps.
double RateOf(const cv::VideoCapture& capture, double fallbackFps);

}  // namespace tevhost
