// A mapped BGR video frame as a cv::Mat that shares its pixels: no copy, and the frame's row
// stride (GStreamer pads BGR rows to four bytes) as the matrix's step.
#pragma once

#include <gst/video/video.h>
#include <opencv2/core.hpp>

namespace tevgst {

inline cv::Mat FrameView(const GstVideoFrame& frame) {
  return cv::Mat(GST_VIDEO_FRAME_HEIGHT(&frame), GST_VIDEO_FRAME_WIDTH(&frame), CV_8UC3,
                 GST_VIDEO_FRAME_PLANE_DATA(&frame, 0),
                 static_cast<std::size_t>(GST_VIDEO_FRAME_PLANE_STRIDE(&frame, 0)));
}

}  // namespace tevgst
