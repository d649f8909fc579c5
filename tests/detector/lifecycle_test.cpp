#include "interface/TEVCustomModule.h"
#include "tests/detector/detector_fixture.h"

#include <cmath>
#include <limits>

namespace {

using tevlib::CallKind;
using Lifecycle = DetectorTest;
using Peer = TEVCustomFSTestPeer;

TEST(Factory, CreateMakesIndependentObjectsAndReleaseFreesThem) {
  ITEVCustomClass* first = Create();
  ITEVCustomClass* second = Create();
  ASSERT_NE(first, nullptr);
  ASSERT_NE(second, nullptr);
  EXPECT_NE(first, second);
  EXPECT_NE(dynamic_cast<TEVCustomFS*>(first), nullptr);
  Release(first);
  Release(second);
  Release(nullptr);
}

TEST(Factory, CreateLoadsNoModel) {
  tevtest::CallRecording recording;
  tevlib::ClearRecordedCalls();
  ITEVCustomClass* object = Create();
  EXPECT_TRUE(tevlib::RecordedCalls().empty());
  Release(object);
  EXPECT_TRUE(tevlib::RecordedCalls().empty());
}

TEST(Detector, ConstantsHaveTheirTunedValues) {
  EXPECT_EQ(Peer::VOTE_WINDOW, 15);
  EXPECT_EQ(Peer::VOTE_THRESHOLD, 8);
  EXPECT_EQ(Peer::LOW_VOTE_THRESHOLD, 6);
  EXPECT_FLOAT_EQ(Peer::HIGH_CONF_THRESHOLD, 0.5f);
  EXPECT_FLOAT_EQ(Peer::LOW_CONF_FIRE_THRESHOLD, 0.25f);
  EXPECT_FLOAT_EQ(Peer::BBOX_CHANGE_THRESHOLD, 0.05f);
  EXPECT_DOUBLE_EQ(Peer::FLICKER_V_STD_THRESHOLD, 3.0);
  EXPECT_EQ(Peer::FLICKER_MIN_SAMPLES, 6);
  EXPECT_FLOAT_EQ(Peer::DEFAULT_MIN_OBJECT_RATIO, 0.0003f);
}

TEST(Detector, NewObjectHasItsInitialState) {
  TEVCustomFS detector;
  Peer peer(detector);
  EXPECT_EQ(peer.engineType(), 0);
  EXPECT_FALSE(peer.motionDetector() || peer.detector() || peer.filter());
  EXPECT_EQ(peer.detector().get_deleter(), &KESTROVIA::TEVLIB::Destroy);
  EXPECT_EQ(peer.detectedArea(), cv::Rect(0, 0, 0, 0));
  EXPECT_EQ(peer.noDetectionCount(), 0);
  EXPECT_FALSE(peer.detectionActive());
  EXPECT_FLOAT_EQ(peer.detectionScoreThreshold(), 0.5f);
  EXPECT_TRUE(peer.filterLabelMap().empty());
  EXPECT_EQ(peer.positiveDetectionCount(), 0);
  EXPECT_FALSE(peer.positiveDetection());
  EXPECT_EQ(peer.fireColourRatio(), 0.0);
  EXPECT_TRUE(peer.smokeColourRanges().empty());
  EXPECT_TRUE(peer.fireColourRanges().empty());
  EXPECT_EQ(peer.detectorModelType(), 0);
  EXPECT_EQ(peer.detectorDetectionType(), 0);
  EXPECT_EQ(peer.filterModelType(), 0);
  EXPECT_EQ(peer.filterDetectionType(), 0);
  EXPECT_EQ(peer.motionModelType(), 0);
  EXPECT_EQ(peer.motionDetectionType(), 0);
  EXPECT_EQ(peer.minDetectedAreaSize(), 50);
  EXPECT_FLOAT_EQ(peer.defaultSmokeScore(), 0.7f);
  EXPECT_FLOAT_EQ(peer.highScoreThreshold(), 0.5f);
  EXPECT_EQ(peer.maxMotionRegions(), 10);
  EXPECT_EQ(peer.minFrameSize(), 10);
  EXPECT_FLOAT_EQ(peer.roiOverlapThreshold(), 0.001f);
  EXPECT_FLOAT_EQ(peer.defaultSensitivity(), 0.5f);
  EXPECT_EQ(peer.ignoredFilterClasses(), (std::unordered_set<int>{13, 59, 60, 68, 69, 70}));
  EXPECT_EQ(peer.cachedImageSize(), cv::Size(0, 0));
  EXPECT_TRUE(peer.cachedSections().empty());
  EXPECT_EQ(peer.currentPriority(), 0);
  EXPECT_FALSE(peer.parametersLoaded());
  EXPECT_TRUE(peer.exclusiveROIs().empty());
  EXPECT_EQ(peer.smokeScoreSetting(), 0.0f);
  EXPECT_EQ(peer.motionScoreThreshold(), 0.0f);
  EXPECT_FLOAT_EQ(peer.minObjectRatio(), 0.0003f);
  EXPECT_TRUE(peer.trackHistory().empty());
  // The interface's members.
  EXPECT_TRUE(peer.modelDirectory().empty());
  EXPECT_FLOAT_EQ(peer.scoreThreshold(), 0.5f);
  EXPECT_FALSE(peer.loadEngineOnCreate());
}

TEST_F(Lifecycle, EngineTypeChoosesModelTypesAndConsoleLine) {
  const struct {
    const char* engineType;
    int modelType;
    const char* line;
  } cases[] = {
      {"0", 30, "CPU detected. Using OpenVINO and ONNX\n"},
      {"1", 31, "NVIDIA GPU detected. Using TensorRT\n"},
      {"2", 30, "CPU detected. Using OpenVINO and ONNX\n"},
      {"-1", 30, "CPU detected. Using OpenVINO and ONNX\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.engineType);
    setenv("TEVLIB_ENGINE_TYPE", c.engineType, 1);
    tevlib::ClearRecordedCalls();
    tevtest::ConsoleCapture console;
    ASSERT_TRUE(detector.Initialize(folder.Path(), 0.5f, labelMap));

    EXPECT_EQ(console.Out(), c.line);
    EXPECT_EQ(peer.engineType(), std::atoi(c.engineType));
    const auto loads = tevlib::RecordedCalls(CallKind::LoadModelFromFolder);
    ASSERT_EQ(loads.size(), 3u);
    EXPECT_EQ(loads[0].load.modelType, c.modelType);
    EXPECT_EQ(loads[1].load.modelType, c.modelType);
    EXPECT_EQ(loads[2].load.modelType, 19);
  }
}

TEST_F(Lifecycle, LoadsTheThreeModelsWithTheirArguments) {
  folder.WriteNames("detector", {"fire", "other", "smoke"});
  folder.WriteNames("filter", {"person"});
  detector.SetLoadEngineOnCreate(true);
  ASSERT_TRUE(Initialize());

  const auto loads = tevlib::RecordedCalls(CallKind::LoadModelFromFolder);
  ASSERT_EQ(loads.size(), 3u);
  const struct {
    const char* modelName;
    const char* classNamesFile;
    float confThreshold;
    float scoreThreshold;
    float nmsThreshold;
    int modelType;
    std::string folder;
  } expected[] = {
      {"detector", "detector.names", 0.25f, 0.25f, 0.5f, 30, folder.Path()},
      {"filter", "filter.names", 0.25f, 0.5f, 0.5f, 30, folder.Path()},
      {"motion", "motion.names", 0.5f, 0.5f, 0.5f, 19, ""},
  };
  for (std::size_t index = 0; index < 3; ++index) {
    SCOPED_TRACE(expected[index].modelName);
    const tevlib::LoadArguments& load = loads[index].load;
    EXPECT_EQ(load.modelPath, "");
    EXPECT_EQ(load.modelName, expected[index].modelName);
    EXPECT_EQ(load.classNamesFile, expected[index].classNamesFile);
    EXPECT_FLOAT_EQ(load.confThreshold, expected[index].confThreshold);
    EXPECT_FLOAT_EQ(load.scoreThreshold, expected[index].scoreThreshold);
    EXPECT_FLOAT_EQ(load.nmsThreshold, expected[index].nmsThreshold);
    EXPECT_EQ(load.batchSize, 1);
    EXPECT_EQ(load.modelType, expected[index].modelType);
    EXPECT_EQ(load.detectionType, 1);
    EXPECT_EQ(load.loadEngineOnCreate, 1);
    EXPECT_EQ(load.folder, expected[index].folder);
  }
  // Each model is loaded into its own instance, in the order detector, filter, motion.
  EXPECT_EQ(loads[0].instance, tevlib::RecordedCalls(CallKind::Create)[0].instance);
  EXPECT_EQ(loads[1].instance, tevlib::RecordedCalls(CallKind::Create)[1].instance);
  EXPECT_EQ(loads[2].instance, tevlib::RecordedCalls(CallKind::Create)[2].instance);
  // The label maps land with the caller and in _filterLabelMap.
  EXPECT_EQ(labelMap, "0:fire\n1:other\n2:smoke\n");
  EXPECT_EQ(peer.filterLabelMap(), "0:person\n");
  EXPECT_EQ(peer.modelDirectory(), folder.Path());
}

TEST_F(Lifecycle, EnablesByteTrackOnTheDetectorAfterItsLoad) {
  ASSERT_TRUE(Initialize());
  const auto calls = tevlib::RecordedCalls();
  const auto tracker = tevlib::RecordedCalls(CallKind::SetTracker);
  ASSERT_EQ(tracker.size(), 1u);
  EXPECT_EQ(tracker[0].modelName, "detector");
  EXPECT_EQ(tracker[0].trackerType, 0);
  EXPECT_EQ(tracker[0].trackerEnable, 1);
  // Order: three creations, detector load, tracker, filter load, motion load.
  ASSERT_EQ(calls.size(), 7u);
  EXPECT_EQ(calls[3].kind, CallKind::LoadModelFromFolder);
  EXPECT_EQ(calls[4].kind, CallKind::SetTracker);
  EXPECT_EQ(calls[5].load.modelName, "filter");
}

TEST_F(Lifecycle, SetsColourRangesRatioSmokeScoreAndEmptiesParameters) {
  CustomParams params;
  params.textItems.push_back("x");
  params.rois.emplace_back();
  detector.SetParameters(params);
  ASSERT_TRUE(Initialize());

  EXPECT_DOUBLE_EQ(peer.fireColourRatio(), 0.25);
  ASSERT_EQ(peer.fireColourRanges().size(), 1u);
  EXPECT_EQ(peer.fireColourRanges()[0].first, cv::Scalar(0, 0, 179, 0));
  EXPECT_EQ(peer.fireColourRanges()[0].second, cv::Scalar(255, 255, 255, 0));
  ASSERT_EQ(peer.smokeColourRanges().size(), 1u);
  EXPECT_EQ(peer.smokeColourRanges()[0].first, cv::Scalar(0, 0, 51, 0));
  EXPECT_EQ(peer.smokeColourRanges()[0].second, cv::Scalar(180, 128, 204, 0));
  EXPECT_FLOAT_EQ(peer.smokeScoreSetting(), 0.7f);
  EXPECT_EQ(peer.motionModelType(), 19);
  EXPECT_EQ(peer.detectorDetectionType(), 1);
  EXPECT_EQ(peer.filterDetectionType(), 1);
  EXPECT_EQ(peer.motionDetectionType(), 1);
  EXPECT_TRUE(peer.params().textItems.empty());
  EXPECT_TRUE(peer.params().rois.empty());
}

TEST_F(Lifecycle, ThresholdBelowTheFloorOrNaNBecomesTheFloor) {
  const struct {
    float given;
    float stored;
  } cases[] = {{0.1f, 0.25f},
               {-1.0f, 0.25f},
               {0.25f, 0.25f},
               {0.6f, 0.6f},
               {std::numeric_limits<float>::quiet_NaN(), 0.25f}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.given);
    ASSERT_TRUE(Initialize(c.given));
    EXPECT_EQ(peer.detectionScoreThreshold(), c.stored);
  }
}

TEST_F(Lifecycle, FailingDetectorLoadStopsBeforeTrackerAndOtherModels) {
  tevtest::ModelFolder empty;
  tevtest::ConsoleCapture console;
  EXPECT_FALSE(detector.Initialize(empty.Path(), 0.5f, labelMap));

  EXPECT_EQ(console.Err(), "TEVCustomFS::Initialize: Failed to load detector model.\n");
  EXPECT_EQ(CountCalls(CallKind::LoadModelFromFolder), 1u);
  EXPECT_EQ(CountCalls(CallKind::SetTracker), 0u);
  // The instances stay in place, unloaded.
  EXPECT_TRUE(peer.detector() && peer.filter() && peer.motionDetector());
}

TEST_F(Lifecycle, FailingFilterLoadFailsInitialize) {
  tevtest::ModelFolder detectorOnly;
  detectorOnly.WriteScript("detector", "{}");
  tevtest::ConsoleCapture console;
  EXPECT_FALSE(detector.Initialize(detectorOnly.Path(), 0.5f, labelMap));
  EXPECT_EQ(console.Err(), "TEVCustomFS::Initialize: Failed to load filter model.\n");
  EXPECT_EQ(CountCalls(CallKind::LoadModelFromFolder), 2u);
}

TEST_F(Lifecycle, FailingMotionLoadOrTrackerOnlyWarns) {
  folder.WriteScript("detector", R"({"tracker": 0})");
  tevtest::ConsoleCapture console;
  EXPECT_TRUE(detector.Initialize(folder.Path(), 0.5f, labelMap));
  EXPECT_EQ(console.Err(),
            "TEVCustomFS::Initialize: Warning - Failed to enable ByteTrack tracker.\n"
            "TEVCustomFS::Initialize: Warning - Motion detector not loaded (not required for "
            "Stage A).\n");
}

TEST_F(Lifecycle, ExceptionsFromTheLibraryFailInitializeWithALine) {
  const struct {
    const char* script;
    const char* line;
  } cases[] = {
      {R"({"load": {"throw": "std"}})",
       "TEVCustomFS::Initialize: Exception: scripted failure in LoadModelFromFolder\n"},
      {R"({"load": {"throw": "other"}})", "TEVCustomFS::Initialize: Unknown exception.\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.script);
    folder.WriteScript("detector", c.script);
    tevtest::ConsoleCapture console;
    EXPECT_FALSE(detector.Initialize(folder.Path(), 0.5f, labelMap));
    EXPECT_EQ(console.Err(), c.line);
  }
}

TEST_F(Lifecycle, InitializeAgainReplacesTheInstancesAndKeepsOneColourRangeEach) {
  ASSERT_TRUE(Initialize());
  const auto first = tevlib::RecordedCalls(CallKind::Create);
  ASSERT_EQ(first.size(), 3u);
  peer.detectedArea() = cv::Rect(1, 2, 300, 300);
  peer.parametersLoaded() = true;

  ASSERT_TRUE(Initialize());
  const auto destroyed = tevlib::RecordedCalls(CallKind::Destroy);
  ASSERT_EQ(destroyed.size(), 3u);
  for (std::size_t index = 0; index < 3; ++index) {
    EXPECT_EQ(destroyed[index].instance, first[index].instance);
  }
  EXPECT_EQ(CountCalls(CallKind::Create), 6u);
  EXPECT_EQ(peer.fireColourRanges().size(), 1u);
  EXPECT_EQ(peer.smokeColourRanges().size(), 1u);
  // Detection state and the parameter reading are not reset.
  EXPECT_EQ(peer.detectedArea(), cv::Rect(1, 2, 300, 300));
  EXPECT_TRUE(peer.parametersLoaded());
}

TEST_F(Lifecycle, LoadEngineFlagIsReadOnlyByInitialize) {
  ASSERT_TRUE(Initialize());
  detector.SetLoadEngineOnCreate(true);
  EXPECT_EQ(tevlib::RecordedCalls(CallKind::LoadModelFromFolder)[0].load.loadEngineOnCreate, 0);
  tevlib::ClearRecordedCalls();
  ASSERT_TRUE(Initialize());
  EXPECT_EQ(tevlib::RecordedCalls(CallKind::LoadModelFromFolder)[0].load.loadEngineOnCreate, 1);
}

}  // namespace
