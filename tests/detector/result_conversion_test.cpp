#include "tests/detector/detector_fixture.h"

#include <cmath>
#include <limits>

namespace {

KESTROVIA::Object Detection(float confidence, int classId = 0) {
  KESTROVIA::Object object;
  object.classId = classId;
  object.className = classId == 2 ? "smoke" : "fire";
  object.confidence = confidence;
  object.box = cv::Rect(10, 20, 30, 40);
  object.cameraId = "cam-7";
  return object;
}

using ConvertToCustomObjects = DetectorTest;

TEST_F(ConvertToCustomObjects, EmptyInputGivesEmptyOutput) {
  EXPECT_TRUE(peer.ConvertToCustomObjects({}).empty());
}

TEST_F(ConvertToCustomObjects, KeepsScoresReachingTheThresholdInInputOrder) {
  const struct {
    float threshold;
    std::vector<float> scores;
    std::vector<float> kept;
  } cases[] = {
      {0.5f, {0.9f, 0.1f, 0.8f}, {0.9f, 0.8f}},
      {0.5f, {0.5f, std::nextafter(0.5f, 0.0f)}, {0.5f}},
      {0.25f, {0.3f, 0.2f}, {0.3f}},
      {0.5f, {std::numeric_limits<float>::quiet_NaN(), 1.0f}, {1.0f}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.threshold);
    peer.detectionScoreThreshold() = c.threshold;
    std::vector<KESTROVIA::Object> objects;
    for (float score : c.scores) {
      objects.push_back(Detection(score));
    }
    const auto converted = peer.ConvertToCustomObjects(objects);
    ASSERT_EQ(converted.size(), c.kept.size());
    for (std::size_t index = 0; index < converted.size(); ++index) {
      EXPECT_EQ(converted[index].confidence, c.kept[index]);
    }
  }
}

TEST_F(ConvertToCustomObjects, CopiesTheDetectionAndDropsTrackOutlineMaskAndKeyPoints) {
  KESTROVIA::Object object = Detection(0.9f, 2);
  object.trackId = 7;
  object.polygon = {{1, 1}, {2, 2}};
  object.mask = cv::Mat(3, 3, CV_8UC1, cv::Scalar(1));
  object.kps = {1.0f, 2.0f};
  object.extraInfo = "from the model";
  peer.detectionScoreThreshold() = 0.5f;

  const auto converted = peer.ConvertToCustomObjects({object});
  ASSERT_EQ(converted.size(), 1u);
  const CustomObject& result = converted[0];
  EXPECT_EQ(result.classId, 2);
  EXPECT_EQ(result.trackId, 0);
  EXPECT_EQ(result.className, "smoke");
  EXPECT_FLOAT_EQ(result.confidence, 0.9f);
  EXPECT_EQ(result.box, cv::Rect(10, 20, 30, 40));
  EXPECT_TRUE(result.polygon.empty());
  EXPECT_TRUE(result.mask.empty());
  EXPECT_TRUE(result.gpuMask.empty());
  EXPECT_TRUE(result.kps.empty());
  EXPECT_EQ(result.extraInfo, "Detection Score Threshold:0.500000");
  EXPECT_EQ(result.cameraId, "cam-7");
}

TEST_F(ConvertToCustomObjects, ThresholdTextFollowsTheInitializedThreshold) {
  ASSERT_TRUE(Initialize(0.1f));
  const auto converted = peer.ConvertToCustomObjects({Detection(0.3f), Detection(0.2f)});
  ASSERT_EQ(converted.size(), 1u);
  EXPECT_EQ(converted[0].extraInfo, "Detection Score Threshold:0.250000");
}

}  // namespace
