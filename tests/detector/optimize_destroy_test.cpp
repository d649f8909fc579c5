#include "tests/detector/detector_fixture.h"

namespace {

using tevlib::CallKind;
using OptimizeModel = DetectorTest;
using Destroy = DetectorTest;

TEST_F(OptimizeModel, FailsWithoutCallingTheLibraryBeforeInitializeAndAfterDestroy) {
  EXPECT_FALSE(detector.OptimizeModel(true));
  ASSERT_TRUE(Initialize());
  ASSERT_TRUE(detector.Destroy());
  EXPECT_FALSE(detector.OptimizeModel(true));
  EXPECT_EQ(CountCalls(CallKind::Optimize), 0u);
}

TEST_F(OptimizeModel, OptimizesDetectorAndFilterButNotMotion) {
  ASSERT_TRUE(Initialize());
  EXPECT_TRUE(detector.OptimizeModel(false));
  const auto calls = tevlib::RecordedCalls(CallKind::Optimize);
  ASSERT_EQ(calls.size(), 2u);
  EXPECT_EQ(calls[0].modelName, "detector");
  EXPECT_EQ(calls[1].modelName, "filter");
  EXPECT_FALSE(calls[0].optimize);
  EXPECT_FALSE(calls[1].optimize);
}

TEST_F(OptimizeModel, OneFailureFailsButBothAreTried) {
  const struct { const char* failing; } cases[] = {{"detector"}, {"filter"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.failing);
    tevtest::WriteEmptyModels(folder);
    folder.WriteScript(c.failing, R"({"optimize": 0})");
    ASSERT_TRUE(Initialize());
    tevlib::ClearRecordedCalls();
    EXPECT_FALSE(detector.OptimizeModel(true));
    EXPECT_EQ(CountCalls(CallKind::Optimize), 2u);
  }
}

TEST_F(OptimizeModel, LibraryExceptionsAreReportedAndFail) {
  const struct {
    const char* script;
    const char* line;
  } cases[] = {
      {R"({"optimize": {"throw": "std"}})",
       "TEVCustomFS::OptimizeModel: Exception: scripted failure in Optimize\n"},
      {R"({"optimize": {"throw": "other"}})", "TEVCustomFS::OptimizeModel: Unknown exception.\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.script);
    folder.WriteScript("detector", c.script);
    ASSERT_TRUE(Initialize());
    tevtest::ConsoleCapture console;
    EXPECT_FALSE(detector.OptimizeModel(true));
    EXPECT_EQ(console.Err(), c.line);
  }
}

TEST_F(Destroy, ReleasesTheThreeInstancesOnceAndKeepsDetectionState) {
  ASSERT_TRUE(Initialize());
  peer.detectedArea() = cv::Rect(10, 10, 100, 100);
  peer.exclusiveROIs().push_back(cv::Rect(1, 1, 5, 5));
  const auto created = tevlib::RecordedCalls(CallKind::Create);

  EXPECT_TRUE(detector.Destroy());
  EXPECT_TRUE(detector.Destroy());

  const auto destroyed = tevlib::RecordedCalls(CallKind::Destroy);
  ASSERT_EQ(destroyed.size(), 3u);
  EXPECT_EQ(destroyed[0].modelName, "detector");
  EXPECT_EQ(destroyed[1].modelName, "filter");
  EXPECT_EQ(destroyed[2].instance, created[2].instance);
  EXPECT_FALSE(peer.detector() || peer.filter() || peer.motionDetector());
  EXPECT_EQ(peer.detectedArea(), cv::Rect(10, 10, 100, 100));
  EXPECT_EQ(peer.exclusiveROIs().size(), 1u);
}

TEST_F(Destroy, DestroyingTheObjectReleasesInstancesOnlyOnce) {
  {
    TEVCustomFS destroyedFirst;
    tevtest::ConsoleCapture console;
    ASSERT_TRUE(destroyedFirst.Initialize(folder.Path(), 0.5f, labelMap));
    ASSERT_TRUE(destroyedFirst.Destroy());
  }
  EXPECT_EQ(CountCalls(CallKind::Destroy), 3u);

  tevlib::ClearRecordedCalls();
  {
    TEVCustomFS neverDestroyed;
    tevtest::ConsoleCapture console;
    ASSERT_TRUE(neverDestroyed.Initialize(folder.Path(), 0.5f, labelMap));
  }
  EXPECT_EQ(CountCalls(CallKind::Destroy), 3u);
}

TEST_F(Destroy, InitializeAfterDestroyCreatesFreshInstances) {
  ASSERT_TRUE(Initialize());
  ASSERT_TRUE(detector.Destroy());
  tevlib::ClearRecordedCalls();
  ASSERT_TRUE(Initialize());
  EXPECT_EQ(CountCalls(CallKind::Create), 3u);
  EXPECT_EQ(CountCalls(CallKind::Destroy), 0u);
  EXPECT_TRUE(peer.detector() && peer.filter() && peer.motionDetector());
}

}  // namespace
