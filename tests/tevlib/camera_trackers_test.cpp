#include "platform/tevlib/tracking/camera_trackers.h"

#include "tests/support/source_files.h"
#include "tests/tevlib/tevlib_fixture.h"

namespace {

KESTROVIA::Object Detection(const cv::Rect& box, float confidence = 0.9f) {
  KESTROVIA::Object detection;
  detection.box = box;
  detection.confidence = confidence;
  return detection;
}

TEST(CameraTrackers, IdsStayStableWhileTheViewMovesOverTheFrame) {
  const cv::Mat frame(400, 500, CV_8UC3, cv::Scalar::all(0));
  const cv::Rect target(200, 150, 40, 40);  // still, in frame pixels
  tevlib::CameraTrackers trackers;
  int firstId = 0;
  for (int step = 0; step < 20; ++step) {
    const cv::Rect view(60 + 6 * step, 40 + 4 * step, 200, 200);
    std::vector<KESTROVIA::Object> detections = {Detection(target - view.tl())};
    trackers.Assign(frame(view), "cam", detections);
    EXPECT_EQ(detections[0].box, target - view.tl());  // the detection's own box, in the view
    if (step == 0) {
      firstId = detections[0].trackId;
      EXPECT_GT(firstId, 0);
    }
    ASSERT_EQ(detections[0].trackId, firstId) << step;
  }
}

TEST(CameraTrackers, EachCameraHasItsOwnTracker) {
  const cv::Mat frame(100, 100, CV_8UC3, cv::Scalar::all(0));
  tevlib::CameraTrackers trackers;
  for (int step = 0; step < 5; ++step) {
    std::vector<KESTROVIA::Object> left = {Detection(cv::Rect(10, 10, 20, 20))};
    std::vector<KESTROVIA::Object> right = {Detection(cv::Rect(60, 60, 20, 20)),
                                            Detection(cv::Rect(10, 10, 20, 20))};
    trackers.Assign(frame, "left", left);
    trackers.Assign(frame, "right", right);
    EXPECT_EQ(left[0].trackId, 1);  // ids are counted per camera
    EXPECT_EQ(right[0].trackId, 1);
    EXPECT_EQ(right[1].trackId, 2);
  }
}

// The library's tracking, switched by SetTracker, on an engine that leaves ids to it.
class TrackerSwitch : public TevlibTest {
 protected:
  void SetUp() override {
    TevlibTest::SetUp();
    folder.WriteFile("detector.onnx",
                     tevtest::SourceFileContent("tests/data/tiny_scores_only.onnx"));
  }

  std::vector<int> TrackIds(KESTROVIA::TEVLIB& instance) {
    std::vector<int> ids;
    for (const KESTROVIA::Object& detection : Run(instance, image)) {
      ids.push_back(detection.trackId);
    }
    return ids;
  }

  const cv::Mat image = cv::Mat(32, 32, CV_8UC3, cv::Scalar::all(0));
};

TEST_F(TrackerSwitch, SetTrackerTurnsOnTrackIdsFromTheLibrary) {
  auto instance = MakeInstance();
  ASSERT_EQ(LoadDetector(*instance), 1);
  EXPECT_EQ(TrackIds(*instance), (std::vector<int>{0, 0}));  // not tracking yet

  ASSERT_EQ(instance->SetTracker(0, 1), 1);
  EXPECT_EQ(TrackIds(*instance), (std::vector<int>{1, 2}));
  EXPECT_EQ(TrackIds(*instance), (std::vector<int>{1, 2}));

  ASSERT_EQ(instance->SetTracker(0, 0), 1);  // off again
  EXPECT_EQ(TrackIds(*instance), (std::vector<int>{0, 0}));

  EXPECT_EQ(instance->SetTracker(3, 1), 0);  // only ByteTrack is known
}

TEST_F(TrackerSwitch, ALoadForgetsTheTracksAndTurnsTrackingOff) {
  auto instance = MakeInstance();
  ASSERT_EQ(LoadDetector(*instance), 1);
  ASSERT_EQ(instance->SetTracker(0, 1), 1);
  TrackIds(*instance);
  ASSERT_EQ(LoadDetector(*instance), 1);
  EXPECT_EQ(TrackIds(*instance), (std::vector<int>{0, 0}));
  ASSERT_EQ(instance->SetTracker(0, 1), 1);
  EXPECT_EQ(TrackIds(*instance), (std::vector<int>{1, 2}));
}

TEST_F(TrackerSwitch, ScriptedEngineKeepsItsOwnIdsWithTrackingOn) {
  auto instance = MakeInstance();
  // The script comes before the ONNX model of the same name.
  ASSERT_EQ(Load(*instance, R"({"after": "repeat-last", "calls": [[
      {"trackId": 7, "confidence": 0.9, "box": [1, 1, 10, 10]},
      {"trackId": 0, "confidence": 0.9, "box": [20, 20, 10, 10]}]]})"),
            1);
  ASSERT_EQ(instance->SetTracker(0, 1), 1);
  EXPECT_EQ(TrackIds(*instance), (std::vector<int>{7, 0}));
  EXPECT_EQ(TrackIds(*instance), (std::vector<int>{7, 0}));
}

}  // namespace
