// The frames of one input, as 8-bit BGR: a video file, an image folder (sorted by name), a
// camera index or a stream URL - whatever cv::VideoCapture opens.
#pragma once

#include <opencv2/core.hpp>

#include <memory>
#include <string>

namespace tevhost {

class FrameSource {
 public:
  virtual ~FrameSource() = default;

  // The next frame, or false at the end of the input. A frame that cannot be read or
  // decoded also ends the input; EndNote then says so.
  virtual bool Read(cv::Mat& frame) = 0;
  // Why the input ended early, or empty when it ended normally (or has not ended).
  virtual std::string EndNote() const = 0;
  // The rate frames are timed at: the source's own, or the fallback given at opening.
  virtual double FramesPerSecond() const = 0;
};

// Opens input: digits are a camera index, text with "://" a stream URL, a folder an
// image folder, anything else a file. fallbackFps times sources that report no rate.
// Throws HostFailure (Input) when it cannot be opened.
std::unique_ptr<FrameSource> OpenFrameSource(const std::string& input, double fallbackFps);

}  // namespace tevhost
