#include "tests/stages/stage_fixture.h"

#include <filesystem>

namespace {

using tevtest::Always;
using tevtest::Detection;
using tevtest::Frame;
using tevtest::RunsOf;

using ExclusionFilter = StageTest;

TEST_F(ExclusionFilter, SearchesTheAreaWidenedByOneHundredAndCutToTheFrame) {
  const struct {
    cv::Rect area;
    cv::Rect region;
  } cases[] = {
      {{500, 400, 100, 100}, {400, 300, 300, 300}},
      {{50, 60, 100, 80}, {0, 0, 300, 280}},  // keeps its size past the clipped corner
      {{1800, 1000, 100, 60}, {1700, 900, 220, 180}},
  };
  Models("{}");
  const cv::Mat frame = Frame(1920, 1080);
  cv::Mat unused;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.area);
    tevlib::ClearRecordedCalls();
    peer.detectedArea() = c.area;
    peer.FindExcludedObjects(frame, "cam", unused);
    const auto runs = RunsOf("filter");
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_EQ(runs[0].view, c.region);
    EXPECT_EQ(runs[0].cameraId, "cam");
  }
}

TEST_F(ExclusionFilter, ReturnsBoxesInFramePixelsWithoutIgnoredClasses) {
  std::vector<std::string> found;
  for (int classId : {13, 0, 59, 60, 68, 69, 70, 14, 61}) {
    found.push_back(Detection(classId, 0.8, {10 + classId, 20, 30, 40}, 5));
  }
  Models("{}", Always(found));
  peer.detectedArea() = cv::Rect(500, 400, 100, 100);
  cv::Mat untouched(2, 2, CV_8UC1, cv::Scalar(7));
  const uchar* pixels = untouched.data;

  const auto excluded = peer.FindExcludedObjects(Frame(1920, 1080), "cam", untouched);
  ASSERT_EQ(excluded.size(), 3u);
  EXPECT_EQ(excluded[0].box, cv::Rect(410, 320, 30, 40));
  EXPECT_EQ(excluded[1].box, cv::Rect(424, 320, 30, 40));
  EXPECT_EQ(excluded[2].box, cv::Rect(471, 320, 30, 40));
  for (const KESTROVIA::Object& object : excluded) {
    EXPECT_EQ(object.classId, 0);
    EXPECT_EQ(object.trackId, 0);
    EXPECT_EQ(object.confidence, 0.0f);
    EXPECT_TRUE(object.className.empty() && object.cameraId.empty());
  }
  EXPECT_EQ(untouched.data, pixels);
  EXPECT_EQ(untouched.at<uchar>(1, 1), 7);
}

// The motion model is loaded from the current directory.
class MotionRegions : public StageTest {
 protected:
  void LoadMotion(const std::string& script) {
    folder.WriteScript("motion", script);
    const std::filesystem::path previous = std::filesystem::current_path();
    std::filesystem::current_path(folder.Path());
    Models("{}");
    std::filesystem::current_path(previous);
    peer.detectedArea() = kArea;
  }

  std::vector<KESTROVIA::Object> Find() {
    cv::Mat unused;
    return peer.FindMovementObjects(Frame(1280, 720), "cam", unused);
  }

  const cv::Rect kArea{100, 100, 200, 200};
};

TEST_F(MotionRegions, KeepsRegionsCoveringLessThanHalfTheArea) {
  LoadMotion(Always({
      Detection(0, 0.9, {0, 0, 200, 200}),  // the whole area: IoU 1
      Detection(0, 0.9, {0, 0, 100, 200}),  // half of it: IoU 0.5
      Detection(0, 0.9, {10, 10, 20, 20}),  // small, inside
      Detection(0, 0.9, {250, 0, 10, 10}),  // outside the area
  }));
  const auto moving = Find();
  ASSERT_EQ(moving.size(), 2u);
  EXPECT_EQ(moving[0].box, cv::Rect(110, 110, 20, 20));
  EXPECT_EQ(moving[1].box, cv::Rect(350, 100, 10, 10));
  EXPECT_EQ(moving[0].confidence, 0.0f);
  EXPECT_EQ(RunsOf("motion")[0].view, kArea);
}

TEST_F(MotionRegions, TooManyRegionsGiveNothing) {
  const struct {
    int regions;
    std::size_t returned;
  } cases[] = {{10, 10}, {11, 0}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.regions);
    std::vector<std::string> found;
    for (int index = 0; index < c.regions; ++index) {
      found.push_back(Detection(0, 0.9, {index * 12, 0, 10, 10}));
    }
    LoadMotion(Always(found));
    EXPECT_EQ(Find().size(), c.returned);
  }
}

TEST_F(MotionRegions, DoesNotRunAtThresholdOneOrWithoutAModel) {
  LoadMotion(Always({Detection(0, 0.9, {10, 10, 20, 20})}));
  peer.motionScoreThreshold() = 1.0f;
  EXPECT_TRUE(Find().empty());
  EXPECT_TRUE(RunsOf("motion").empty());

  peer.motionScoreThreshold() = 0.99f;
  EXPECT_EQ(Find().size(), 1u);

  tevtest::ModelFolder noMotion;
  tevtest::WriteEmptyModels(noMotion);
  {
    tevtest::ConsoleCapture console;
    ASSERT_TRUE(detector.Initialize(noMotion.Path(), 0.5f, labelMap));
  }
  tevlib::ClearRecordedCalls();
  EXPECT_FALSE(peer.motionModelLoaded());
  EXPECT_TRUE(Find().empty());
  EXPECT_TRUE(tevlib::RecordedCalls(tevlib::CallKind::RunInference).empty());
}

}  // namespace
