#include "tests/detector/detector_fixture.h"

#include <thread>

namespace {

using FrameDriver = DetectorTest;

TEST_F(FrameDriver, RefusesFramesThatAreEmptyOrTooSmallWithoutTouchingAnything) {
  ASSERT_TRUE(Initialize());
  peer.detectedArea() = cv::Rect(5, 5, 60, 60);
  tevlib::ClearRecordedCalls();

  const struct {
    const char* label;
    cv::Mat frame;
  } cases[] = {
      {"empty", cv::Mat()},
      {"9 wide", cv::Mat(100, 9, CV_8UC3, cv::Scalar::all(200))},
      {"9 high", cv::Mat(9, 100, CV_8UC3, cv::Scalar::all(200))},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    EXPECT_TRUE(detector.RunInference(c.frame, "cam").empty());
    EXPECT_FALSE(peer.parametersLoaded());
    EXPECT_EQ(peer.detectedArea(), cv::Rect(5, 5, 60, 60));
  }
  EXPECT_TRUE(tevlib::RecordedCalls().empty());
}

TEST_F(FrameDriver, ReadsTheParametersOnTheFirstProcessedFrame) {
  ASSERT_TRUE(Initialize());
  CustomParams params;
  params.parameters.push_back({"SmokeScore", "float", 2, 1, 0, "", {}, "", "0.9"});
  ASSERT_TRUE(detector.SetParameters(params));

  const cv::Mat smallest(10, 10, CV_8UC3, cv::Scalar::all(0));
  EXPECT_TRUE(detector.RunInference(smallest, "cam").empty());
  EXPECT_TRUE(peer.parametersLoaded());
  EXPECT_FLOAT_EQ(peer.smokeScoreSetting(), 0.9f);
}

TEST_F(FrameDriver, ReturnsNothingWithoutALoadedDetector) {
  const cv::Mat frame(100, 100, CV_8UC3, cv::Scalar::all(0));
  EXPECT_TRUE(detector.RunInference(frame, "cam").empty());
  EXPECT_TRUE(detector.RunInference(frame).empty());
  EXPECT_FALSE(peer.parametersLoaded());

  ASSERT_TRUE(Initialize());
  ASSERT_TRUE(detector.Destroy());
  EXPECT_TRUE(detector.RunInference(frame, "cam").empty());
  EXPECT_FALSE(peer.parametersLoaded());
}

TEST_F(FrameDriver, OneArgumentFormProcessesTheFrameToo) {
  ASSERT_TRUE(Initialize());
  const cv::Mat frame(100, 100, CV_8UC3, cv::Scalar::all(0));
  EXPECT_TRUE(detector.RunInference(frame).empty());
  EXPECT_TRUE(peer.parametersLoaded());
}

TEST_F(FrameDriver, LockIsFreeAfterEachFrame) {
  ASSERT_TRUE(Initialize());
  const cv::Mat frame(100, 100, CV_8UC3, cv::Scalar::all(0));
  detector.RunInference(frame, "cam");
  detector.RunInference(cv::Mat(), "cam");
  std::thread other([&] {
    EXPECT_TRUE(peer.mutex().try_lock());
    peer.mutex().unlock();
  });
  other.join();
}

}  // namespace
