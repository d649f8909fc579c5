// Draws a frame's report onto the frame: detection boxes with class and score, the
// state of the search, the running alarm and the time. The state of the search is read
// from the reports alone, the way any host sees it: after a frame with detections the
// detector follows the area around them until it has gone a while without one, and
// searches its tiles otherwise.
#pragma once

#include "platform/host/frame_report.h"

#include <opencv2/core.hpp>

#include <string>

namespace tevhost {

class SearchState {
 public:
  void Update(const FrameReport& report);

  bool Following() const { return _framesSinceDetection < kFollowFrames; }
  // Around the last detections; meaningful while following.
  const cv::Rect& Area() const { return _area; }

 private:
  // The detector gives up a followed area after 40 frames without a detection.
  static constexpr int kFollowFrames = 40;

  int _framesSinceDetection = kFollowFrames;
  cv::Rect _area;
};

// Draws report and state onto image itself; camera names the input.
void DrawAnnotation(cv::Mat& image, const FrameReport& report, const SearchState& state,
                    const std::string& camera);

// A copy of frame with report and state drawn on it.
cv::Mat Annotate(const cv::Mat& frame, const FrameReport& report, const SearchState& state,
                 const std::string& camera);

}  // namespace tevhost
