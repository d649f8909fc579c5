// Whole scenarios through the plug-in interface, frame by frame, with scripted models.
#include "tests/e2e/scenario_fixture.h"

#include <thread>

namespace {

using tevtest::Detection;
using tevtest::FlameFrame;
using tevtest::FlameScript;
using tevtest::Frame;
using tevtest::kFireBox;
using tevtest::kFollowedArea;
using tevtest::Plugin;
using tevtest::Scenario;
using tevtest::Script;

TEST_F(Scenario, FlickeringFireIsFoundFollowedReportedAndGivenUpAfterFortyEmptyFrames) {
  constexpr int kFollowFramesWithFire = 12;
  Plugin plugin = Start(FlameScript(1 + kFollowFramesWithFire));

  // Found by the search in the warmest tile and reported at once.
  const auto found = plugin->RunInference(FlameFrame(0), "hall");
  ASSERT_EQ(found.size(), 1u);
  EXPECT_EQ(found[0].box, kFireBox);
  EXPECT_EQ(found[0].className, "");
  EXPECT_EQ(DetectorViews().back(), cv::Rect(0, 0, 640, 360));

  // Followed: the track must collect its votes before it is reported again.
  for (int frame = 1; frame <= kFollowFramesWithFire; ++frame) {
    SCOPED_TRACE(frame);
    const auto reported = plugin->RunInference(FlameFrame(frame), "hall");
    EXPECT_EQ(DetectorViews().back(), kFollowedArea);
    if (frame < 6) {
      EXPECT_TRUE(reported.empty());
    }
    if (frame >= 8) {
      ASSERT_EQ(reported.size(), 1u);
      EXPECT_EQ(reported[0].box, kFireBox);
      EXPECT_EQ(reported[0].cameraId, "hall");
    }
  }

  // The fire goes out: the area is held for exactly 40 empty follow frames.
  for (int frame = 1; frame <= 40; ++frame) {
    EXPECT_TRUE(plugin->RunInference(Frame(1280, 720), "hall").empty());
    EXPECT_EQ(DetectorViews().back(), kFollowedArea) << "empty frame " << frame;
  }
  // Then the search resumes with the next tile of its cycle.
  EXPECT_TRUE(plugin->RunInference(Frame(1280, 720), "hall").empty());
  EXPECT_EQ(DetectorViews().back(), cv::Rect(640, 0, 640, 360));
}

CustomParams Exclude(ITEVCustomClass& plugin, std::vector<cv::Point> corners) {
  CustomParams settings;
  plugin.ConfigureParameters(settings);
  for (CustomParameter& parameter : settings.parameters) {
    parameter.value = parameter.defaultValue;
  }
  CustomROI region;
  region.kindName = "ExclusiveROIs";
  region.points = std::move(corners);
  settings.rois.push_back(region);
  return settings;
}

// Regions that hold the fire box: about its size, the whole frame (the box's IoU with it is
// 0.004), and a region drawn past the frame's edges, as whole-camera masks often are (IoU
// 0.0004, under the overlap threshold of 0.001).
class ExcludedFire : public Scenario,
                     public testing::WithParamInterface<std::vector<cv::Point>> {};

TEST_P(ExcludedFire, IsNeverReported) {
  Plugin probe(Create());
  const CustomParams settings = Exclude(*probe, GetParam());
  Plugin plugin = Start(FlameScript(200), "{}", &settings);
  for (int frame = 0; frame < 60; ++frame) {
    EXPECT_TRUE(plugin->RunInference(FlameFrame(frame), "hall").empty()) << "frame " << frame;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Regions, ExcludedFire,
    testing::Values(std::vector<cv::Point>{{290, 190}, {370, 190}, {370, 270}, {290, 270}},
                    std::vector<cv::Point>{{0, 0}, {1280, 0}, {1280, 720}, {0, 720}},
                    std::vector<cv::Point>{
                        {-1000, -1000}, {2280, -1000}, {2280, 1720}, {-1000, 1720}}));

TEST_F(Scenario, FireOverlappedByAFilterObjectIsNeverReported) {
  const std::string person = Script({{Detection(0, 0.9, {320, 150, 60, 150}, 9)}},
                                    R"("coordinates":"frame","after":"repeat-last")");
  Plugin plugin = Start(FlameScript(200), person);
  for (int frame = 0; frame < 60; ++frame) {
    EXPECT_TRUE(plugin->RunInference(FlameFrame(frame), "hall").empty()) << "frame " << frame;
  }
}

TEST_F(Scenario, LibraryExceptionsGiveAnEmptyFrameAndTheNextFramesWork) {
  const cv::Rect box(10, 10, 40, 40);
  Plugin plugin = Start(R"({"after":"repeat-last","calls":[{"throw":"std"},{"throw":"other"},[)" +
                        Detection(0, 0.9, box, 1) + "]]}");
  const cv::Mat frame = Frame(480, 360);  // one tile, searched on every search frame
  EXPECT_TRUE(plugin->RunInference(frame, "hall").empty());
  EXPECT_TRUE(plugin->RunInference(frame, "hall").empty());
  // From another thread: the lock was released on both ways out. The failed search left
  // its tile as the area, which this frame follows and, with no hold active, gives up.
  std::vector<CustomObject> reported;
  std::thread other([&] { reported = plugin->RunInference(frame, "hall"); });
  other.join();
  EXPECT_TRUE(reported.empty());
  reported = plugin->RunInference(frame, "hall");
  ASSERT_EQ(reported.size(), 1u);
  EXPECT_EQ(reported[0].box, box);
  EXPECT_EQ(DetectorViews().size(), 4u);
}

TEST_F(Scenario, FrameSizeChangeWhileHoldingResumesTheSearch) {
  const cv::Rect fireBox(900, 500, 60, 60);
  Plugin plugin = Start(
      Script({{Detection(0, 0.9, fireBox, 1)}}, R"("coordinates":"frame","after":"repeat-last")"));
  cv::Mat large = Frame(1280, 720);
  large(fireBox).setTo(cv::Scalar(0, 140, 255));
  ASSERT_EQ(plugin->RunInference(large, "hall").size(), 1u);
  ASSERT_EQ(DetectorViews().back(), cv::Rect(640, 360, 640, 360));

  // The held area (770, 370, 320, 320) does not fit a 640 x 480 frame.
  for (int frame = 0; frame < 3; ++frame) {
    EXPECT_TRUE(plugin->RunInference(Frame(640, 480), "hall").empty());
    const cv::Rect view = DetectorViews().back();
    EXPECT_EQ(view.height, 480) << "a tile of the new frame";
  }
}

TEST_F(Scenario, OneArgumentFormReportsTheDefaultCamera) {
  Plugin plugin = Start(FlameScript(1));
  const auto reported = plugin->RunInference(FlameFrame(0));
  ASSERT_EQ(reported.size(), 1u);
  EXPECT_EQ(reported[0].cameraId, "CustomCam");
  EXPECT_EQ(tevlib::RecordedCalls(tevlib::CallKind::RunInference).back().cameraId, "CustomCam");
}

TEST_F(Scenario, SchemaHandedBackWithEmptyValuesStillDetects) {
  Plugin probe(Create());
  CustomParams settings;
  probe->ConfigureParameters(settings);
  Plugin plugin = Start(FlameScript(1), "{}", &settings);
  tevtest::ConsoleCapture console;
  EXPECT_EQ(plugin->RunInference(FlameFrame(0), "hall").size(), 1u);
  EXPECT_NE(console.Err().find("\"SmokeScore\""), std::string::npos);
}

}  // namespace
