#include "tests/tevlib/tevlib_fixture.h"

#include <vector>

namespace {

using CallRecord = TevlibTest;
using tevlib::CallKind;

TEST(CallRecordAsShipped, IsOffUntilATestTurnsItOn) {
  tevlib::ClearRecordedCalls();
  KESTROVIA::TEVLIB::Destroy(KESTROVIA::TEVLIB::Create());
  EXPECT_TRUE(tevlib::RecordedCalls().empty());
}

TEST_F(CallRecord, StaysEmptyWhileRecordingIsOffAndTakesEveryKindOfCallOnceOn) {
  const auto callEveryKind = [this] {
    auto instance = MakeInstance();
    Load(*instance, R"({})");
    instance->SetTracker(0, 1);
    instance->Optimize(true);
    Run(*instance, cv::Mat(10, 10, CV_8UC3, cv::Scalar::all(0)));
  };

  tevlib::SetCallRecording(false);
  callEveryKind();
  EXPECT_TRUE(tevlib::RecordedCalls().empty());

  tevlib::SetCallRecording(true);
  callEveryKind();
  std::vector<CallKind> kinds;
  for (const tevlib::RecordedCall& call : tevlib::RecordedCalls()) {
    kinds.push_back(call.kind);
  }
  EXPECT_EQ(kinds, (std::vector<CallKind>{CallKind::Create, CallKind::LoadModelFromFolder,
                                          CallKind::SetTracker, CallKind::Optimize,
                                          CallKind::RunInference, CallKind::Destroy}));
}

TEST_F(CallRecord, RecordsCreationAndDestructionWithDistinctInstanceNumbers) {
  auto first = MakeInstance();
  auto second = MakeInstance();
  first.reset();

  const auto calls = tevlib::RecordedCalls();
  ASSERT_EQ(calls.size(), 3u);
  EXPECT_EQ(calls[0].kind, CallKind::Create);
  EXPECT_EQ(calls[1].kind, CallKind::Create);
  EXPECT_NE(calls[0].instance, calls[1].instance);
  EXPECT_EQ(calls[2].kind, CallKind::Destroy);
  EXPECT_EQ(calls[2].instance, calls[0].instance);
}

TEST_F(CallRecord, RecordsEveryLoadArgumentAndResult) {
  auto instance = MakeInstance();
  folder.WriteNames("filter", {"person"});
  folder.WriteScript("filter", R"({})");
  std::string filterLabels;
  ASSERT_EQ(instance->LoadModelFromFolder("path", "filter", "filter.names", 0.1f, 0.2f, 0.3f, 4, 5,
                                          6, 7, folder.Path().c_str(), filterLabels),
            1);
  EXPECT_EQ(instance->LoadModelFromFolder("", "motion", "motion.names", 0.5f, 0.5f, 0.5f, 1, 19, 1,
                                          0, "", filterLabels),
            0);

  const auto loads = tevlib::RecordedCalls(CallKind::LoadModelFromFolder);
  ASSERT_EQ(loads.size(), 2u);
  const tevlib::LoadArguments& load = loads[0].load;
  EXPECT_EQ(load.modelPath, "path");
  EXPECT_EQ(load.modelName, "filter");
  EXPECT_EQ(load.classNamesFile, "filter.names");
  EXPECT_FLOAT_EQ(load.confThreshold, 0.1f);
  EXPECT_FLOAT_EQ(load.scoreThreshold, 0.2f);
  EXPECT_FLOAT_EQ(load.nmsThreshold, 0.3f);
  EXPECT_EQ(load.batchSize, 4);
  EXPECT_EQ(load.modelType, 5);
  EXPECT_EQ(load.detectionType, 6);
  EXPECT_EQ(load.loadEngineOnCreate, 7);
  EXPECT_EQ(load.folder, folder.Path());
  EXPECT_EQ(loads[0].result, 1);
  EXPECT_EQ(loads[0].modelName, "filter");
  EXPECT_EQ(loads[0].labelMap, "0:person\n");

  EXPECT_EQ(loads[1].load.modelName, "motion");
  EXPECT_EQ(loads[1].result, 0);
  EXPECT_EQ(loads[1].modelName, "");      // a failed load leaves the instance unloaded
  EXPECT_EQ(filterLabels, "0:person\n");  // and does not touch the label map
}

TEST_F(CallRecord, RecordsTrackerAndOptimizeCallsWithResults) {
  auto instance = MakeInstance();
  ASSERT_EQ(Load(*instance, R"({"optimize": 0})"), 1);
  instance->SetTracker(0, 1);
  instance->Optimize(true);

  const auto tracker = tevlib::RecordedCalls(CallKind::SetTracker);
  ASSERT_EQ(tracker.size(), 1u);
  EXPECT_EQ(tracker[0].trackerType, 0);
  EXPECT_EQ(tracker[0].trackerEnable, 1);
  EXPECT_EQ(tracker[0].result, 1);
  EXPECT_EQ(tracker[0].modelName, "detector");

  const auto optimize = tevlib::RecordedCalls(CallKind::Optimize);
  ASSERT_EQ(optimize.size(), 1u);
  EXPECT_TRUE(optimize[0].optimize);
  EXPECT_EQ(optimize[0].result, 0);
}

TEST_F(CallRecord, RecordsTheViewOfEachInferenceInFrameCoordinates) {
  auto instance = MakeInstance();
  ASSERT_EQ(Load(*instance, R"({"calls": [{"throw": "std"}]})"), 1);
  const cv::Mat frame(720, 1280, CV_8UC3, cv::Scalar(0, 0, 0));

  std::vector<KESTROVIA::Object> results;
  EXPECT_ANY_THROW(instance->RunInference(frame(cv::Rect(320, 180, 640, 360)), "north", results));
  instance->RunInference(frame, "south", results);

  const auto runs = tevlib::RecordedCalls(CallKind::RunInference);
  ASSERT_EQ(runs.size(), 2u);
  EXPECT_EQ(runs[0].modelName, "detector");
  EXPECT_EQ(runs[0].cameraId, "north");
  EXPECT_EQ(runs[0].view, cv::Rect(320, 180, 640, 360));
  EXPECT_EQ(runs[0].frameSize, cv::Size(1280, 720));
  EXPECT_EQ(runs[1].cameraId, "south");
  EXPECT_EQ(runs[1].view, cv::Rect(0, 0, 1280, 720));
}

TEST_F(CallRecord, KeepsOnlyTheMostRecentCalls) {
  auto instance = MakeInstance();
  ASSERT_EQ(Load(*instance, R"({})"), 1);
  const cv::Mat image(10, 10, CV_8UC3);
  std::vector<KESTROVIA::Object> results;
  for (std::size_t call = 0; call < tevlib::kRecordCapacity + 5; ++call) {
    instance->RunInference(image, std::to_string(call).c_str(), results);
  }
  const auto calls = tevlib::RecordedCalls();
  ASSERT_EQ(calls.size(), tevlib::kRecordCapacity);
  EXPECT_EQ(calls.back().cameraId, std::to_string(tevlib::kRecordCapacity + 4));
}

}  // namespace
