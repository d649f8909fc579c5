// Two tevfiresmoke elements in one pipeline are two cameras: each has its own detector, its
// own alarms and its own camera id.
#include "tests/gstreamer/pipeline_run.h"
#include "tests/support/model_folder.h"
#include "tests/support/scripted_models.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

using tevgsttest::json;
using tevgsttest::OutputBuffer;
using tevgsttest::Region;

const cv::Size kFrameSize(160, 120);
const cv::Rect kFire(40, 30, 30, 30);

TEST(SeparateStateTest, TwoElementsInOnePipelineKeepTheirOwnDetectorsAndAlarms) {
  // Both load the same script: fire on a detector's first call only. One shared detector
  // would report it once, on whichever frame came first.
  tevtest::ModelFolder models;
  tevtest::WriteScriptedModels(
      models,
      tevtest::DetectorScript(json::array({json::array({tevtest::ScriptedDetection(kFire)})})));
  tevgsttest::Pipeline pipeline(
      tevgsttest::ElementBranch("hall", kFrameSize, "models=" + models.Path()) +
      tevgsttest::ElementBranch("yard", kFrameSize,
                                "models=" + models.Path() + " camera-id=yard-east"));

  const cv::Mat frame(kFrameSize, CV_8UC3, cv::Scalar(60, 60, 60));
  pipeline.RunBranches({"hall", "yard"}, frame, 4);
  ASSERT_FALSE(testing::Test::HasFatalFailure());
  ASSERT_TRUE(pipeline.Errors().empty()) << pipeline.Errors().front().text;

  for (const char* sink : {"hall-out", "yard-out"}) {
    const std::vector<OutputBuffer> buffers = pipeline.Output(sink);
    ASSERT_EQ(buffers.size(), 4u) << sink;
    EXPECT_EQ(buffers[0].regions, (std::vector<Region>{{"fire", kFire, 0.9f}})) << sink;
    for (int index = 1; index < 4; ++index) {
      EXPECT_TRUE(buffers[index].regions.empty()) << sink << " frame " << index;
    }
  }
  // Each element numbers its own alarms and names its own camera.
  std::vector<json> starts;
  for (const json& message : pipeline.ElementMessages()) {
    if (message.at("name") == "alarm-start") {
      starts.push_back({{"source", message.at("source")},
                        {"camera", message.at("camera")},
                        {"alarm", message.at("alarm")},
                        {"frame", message.at("frame")}});
    }
  }
  std::sort(starts.begin(), starts.end(), [](const json& left, const json& right) {
    return left.at("source") < right.at("source");
  });
  EXPECT_EQ(starts, (std::vector<json>{
                        {{"source", "hall"}, {"camera", "hall"}, {"alarm", 1}, {"frame", 0}},
                        {{"source", "yard"}, {"camera", "yard-east"}, {"alarm", 1}, {"frame", 0}},
                    }));
}

}  // namespace
