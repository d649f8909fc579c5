#include "tests/support/test_peer.h"

#include <opencv2/imgproc.hpp>

#include <gtest/gtest.h>

namespace {

using Peer = TEVCustomFSTestPeer;

// The brightness of a box must equal the mean of the HSV value channel, bit for bit.
double ValueMeanThroughHsv(const cv::Mat& frame, const cv::Rect& box) {
  const cv::Rect clipped = box & cv::Rect(0, 0, frame.cols, frame.rows);
  if (clipped.area() <= 0) {
    return 0.0;
  }
  cv::Mat hsv;
  cv::cvtColor(frame, hsv, cv::COLOR_BGR2HSV);
  return cv::mean(hsv(clipped))[2];
}

TEST(BoxBrightness, EqualsTheHsvValueMeanExactlyOnRandomFrames) {
  cv::RNG random(12345);
  for (int trial = 0; trial < 50; ++trial) {
    cv::Mat frame(random.uniform(10, 300), random.uniform(10, 300), CV_8UC3);
    random.fill(frame, cv::RNG::UNIFORM, 0, 256);
    const cv::Rect box(random.uniform(-50, frame.cols), random.uniform(-50, frame.rows),
                       random.uniform(0, 200), random.uniform(0, 200));
    SCOPED_TRACE(box);
    EXPECT_EQ(Peer::MeanBoxBrightness(frame, box), ValueMeanThroughHsv(frame, box));
  }
}

TEST(BoxBrightness, WorksOnViews) {
  cv::Mat frame(100, 100, CV_8UC3, cv::Scalar(10, 20, 30));
  frame(cv::Rect(50, 50, 50, 50)).setTo(cv::Scalar(200, 0, 0));
  const cv::Mat view = frame(cv::Rect(40, 40, 60, 60));
  EXPECT_DOUBLE_EQ(Peer::MeanBoxBrightness(view, cv::Rect(10, 10, 50, 50)), 200.0);
  EXPECT_DOUBLE_EQ(Peer::MeanBoxBrightness(view, cv::Rect(0, 0, 10, 10)), 30.0);
}

TEST(BoxBrightness, BoxOutsideTheFrameIsDark) {
  const cv::Mat frame(50, 50, CV_8UC3, cv::Scalar::all(255));
  EXPECT_EQ(Peer::MeanBoxBrightness(frame, cv::Rect(60, 0, 10, 10)), 0.0);
  EXPECT_EQ(Peer::MeanBoxBrightness(frame, cv::Rect(10, 10, 0, 10)), 0.0);
}

TEST(BoxBrightness, RefusesFramesThatAreNotEightBitBgr) {
  const cv::Mat grey(50, 50, CV_8UC1, cv::Scalar(255));
  EXPECT_THROW(Peer::MeanBoxBrightness(grey, cv::Rect(0, 0, 10, 10)), cv::Exception);
}

}  // namespace
