// A mapped BGR frame seen as a cv::Mat: same pixels, rows at the frame's stride.
#include "platform/gstreamer/frame_view.h"

#include <gtest/gtest.h>

namespace {

TEST(FrameViewTest, TheMatrixSharesThePixelsAndStepsByTheFramesStride) {
  GstVideoInfo info;
  // 322 BGR pixels are 966 bytes; GStreamer pads the rows to 968.
  gst_video_info_set_format(&info, GST_VIDEO_FORMAT_BGR, 322, 4);
  ASSERT_EQ(GST_VIDEO_INFO_PLANE_STRIDE(&info, 0), 968);
  GstBuffer* buffer = gst_buffer_new_allocate(nullptr, GST_VIDEO_INFO_SIZE(&info), nullptr);
  GstVideoFrame frame;
  ASSERT_TRUE(gst_video_frame_map(&frame, &info, buffer, GST_MAP_READWRITE));

  cv::Mat view = tevgst::FrameView(frame);
  EXPECT_EQ(view.size(), cv::Size(322, 4));
  EXPECT_EQ(view.type(), CV_8UC3);
  EXPECT_EQ(view.step[0], 968u);
  view.setTo(cv::Scalar(0, 0, 0));
  view.at<cv::Vec3b>(2, 321) = cv::Vec3b(11, 22, 33);

  const auto* pixels = static_cast<const guint8*>(GST_VIDEO_FRAME_PLANE_DATA(&frame, 0));
  EXPECT_EQ(pixels[2 * 968 + 321 * 3 + 0], 11);
  EXPECT_EQ(pixels[2 * 968 + 321 * 3 + 1], 22);
  EXPECT_EQ(pixels[2 * 968 + 321 * 3 + 2], 33);
  gst_video_frame_unmap(&frame);
  gst_buffer_unref(buffer);
}

}  // namespace
