#include "tests/stages/stage_fixture.h"

namespace {

using tevtest::Always;
using tevtest::Detection;
using tevtest::Frame;
using tevtest::RunsOf;
using NewAreaSearch = StageTest;

const cv::Scalar kWhite = cv::Scalar::all(255);  // passes the fire colour test everywhere
const cv::Scalar kOrange(0, 128, 255);           // warm

TEST_F(NewAreaSearch, TileOfFiftyPixelsIsNotSearched) {
  Models(Always({Detection(0, 0.9, {1, 1, 20, 20})}));
  EXPECT_TRUE(Run(Frame(50, 400)).empty());
  EXPECT_TRUE(RunsOf("detector").empty());
  EXPECT_EQ(peer.detectedArea(), cv::Rect());

  EXPECT_EQ(Run(Frame(51, 51)).size(), 1u);
  EXPECT_EQ(RunsOf("detector").size(), 1u);
}

TEST_F(NewAreaSearch, ReportsStrongFireAtOnceInFrameCoordinatesAndFollowsIt) {
  Models(Always({Detection(0, 0.9, {10, 20, 40, 40}, 7)}));
  cv::Mat frame = Frame(1280, 720);
  frame(cv::Rect(700, 400, 100, 100)).setTo(kOrange);  // the bottom-right tile ranks first

  const auto reported = Run(frame, "north");
  ASSERT_EQ(reported.size(), 1u);
  EXPECT_EQ(RunsOf("detector")[0].view, cv::Rect(640, 360, 640, 360));
  EXPECT_EQ(reported[0].box, cv::Rect(650, 380, 40, 40));
  EXPECT_EQ(reported[0].cameraId, "north");
  EXPECT_FLOAT_EQ(reported[0].confidence, 0.9f);
  EXPECT_EQ(peer.detectedArea(), cv::Rect(510, 240, 320, 320));
  EXPECT_TRUE(peer.detectionActive());
  EXPECT_TRUE(peer.positiveDetection());
}

// Frames of at most 480 pixels are one tile, searched on every frame.
TEST_F(NewAreaSearch, ChoosesAndReportsByClassScoreAndSize) {
  const cv::Rect boxA(100, 100, 40, 40);
  const cv::Rect boxB(200, 300, 40, 40);
  const struct {
    const char* label;
    std::vector<std::string> detections;
    cv::Scalar colour;
    bool reported;
    cv::Rect reportedBox;
  } cases[] = {
      {"fire 0.9", {Detection(0, 0.9, boxA)}, {}, true, boxA},
      {"two fires 0.6: the first",
       {Detection(0, 0.6, boxA), Detection(0, 0.6, boxB)},
       {},
       true,
       boxA},
      {"weak fire with colour, then smoke 0.8: the smoke",
       {Detection(0, 0.4, boxA), Detection(2, 0.8, boxB)},
       kWhite,
       true,
       boxB},
      {"smoke 0.8, then weak fire with colour: the smoke",
       {Detection(2, 0.8, boxB), Detection(0, 0.4, boxA)},
       kWhite,
       true,
       boxB},
      {"weak fire with colour is not reported", {Detection(0, 0.4, boxA)}, kWhite, false, {}},
      {"fire exactly 0.5 is not strong", {Detection(0, 0.5, boxA)}, kWhite, false, {}},
      {"fire 0.2", {Detection(0, 0.2, boxA)}, kWhite, false, {}},
      {"smoke 0.6 below the smoke score", {Detection(2, 0.6, boxA)}, {}, false, {}},
      {"smoke 0.7", {Detection(2, 0.7, boxA)}, {}, true, boxA},
      {"class 1", {Detection(1, 0.99, boxA)}, {}, false, {}},
      {"box below the smallest share of the frame",
       {Detection(0, 0.99, {10, 10, 7, 7})},
       {},
       false,
       {}},
      {"box above the smallest share of the frame",
       {Detection(0, 0.99, {10, 10, 8, 7})},
       {},
       true,
       cv::Rect(10, 10, 8, 7)},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    Models(Always(c.detections));
    peer.ResetDetectionState();
    const auto reported = Run(Frame(480, 360, c.colour));
    ASSERT_EQ(reported.size(), c.reported ? 1u : 0u);
    if (c.reported) {
      EXPECT_EQ(reported[0].box, c.reportedBox);
      EXPECT_TRUE(peer.detectionActive());
    } else {
      EXPECT_FALSE(peer.detectionActive());
      EXPECT_EQ(peer.detectedArea(), cv::Rect());
    }
  }
}

TEST_F(NewAreaSearch, StrongFireRuledOutByTheUserOrTheFilterModelIsNotReported) {
  const cv::Rect box(100, 100, 40, 40);
  const struct {
    const char* label;
    std::vector<cv::Rect> exclusiveRegions;
    std::string filterScript;
  } cases[] = {
      {"inside an exclusive region", {cv::Rect(90, 90, 60, 60)}, "{}"},
      {"overlapped by a filter object",
       {},
       Always({Detection(0, 0.9, {130, 130, 50, 100})}, R"("coordinates":"frame")")},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    Models(Always({Detection(0, 0.9, box)}), c.filterScript);
    peer.ResetDetectionState();
    peer.parametersLoaded() = true;
    peer.exclusiveROIs() = c.exclusiveRegions;
    EXPECT_TRUE(Run(Frame(480, 360)).empty());
    EXPECT_FALSE(peer.detectionActive());
  }
}

TEST_F(NewAreaSearch, WeakColourFireMovesTheHeldAreaWithoutReporting) {
  Models(Always({Detection(0, 0.4, {100, 100, 40, 40})}));
  peer.detectionActive() = true;  // a hold from an earlier detection
  peer.noDetectionCount() = 10;

  EXPECT_TRUE(Run(Frame(480, 360, kWhite)).empty());
  EXPECT_EQ(peer.detectedArea(), cv::Rect(8, 8, 224, 224));
  EXPECT_EQ(peer.noDetectionCount(), 11);
}

TEST_F(NewAreaSearch, WeakColourFireWithoutHoldLeavesNothingBehind) {
  Models(Always({Detection(0, 0.4, {100, 100, 40, 40})}));
  peer.trackHistory()[5].trackId = 5;

  EXPECT_TRUE(Run(Frame(480, 360, kWhite)).empty());
  EXPECT_EQ(peer.detectedArea(), cv::Rect());
  EXPECT_TRUE(peer.trackHistory().empty());
  EXPECT_FALSE(peer.detectionActive());
}

TEST_F(NewAreaSearch, WeakFireFailingTheColourTestIsIgnored) {
  Models(Always({Detection(0, 0.4, {100, 100, 40, 40})}));
  peer.detectionActive() = true;
  EXPECT_TRUE(Run(Frame(480, 360)).empty());
  EXPECT_EQ(peer.detectedArea(), cv::Rect());
}

TEST_F(NewAreaSearch, ScanVisitsTheTilesInPriorityOrderAndStartsOver) {
  Models("{}");
  for (int frame = 0; frame < 7; ++frame) {
    Run(Frame(1920, 1080));
  }
  const auto runs = RunsOf("detector");
  const std::vector<cv::Rect> expected = {
      {640, 0, 640, 540}, {640, 540, 640, 540},  {0, 0, 640, 540},   {1280, 0, 640, 540},
      {0, 540, 640, 540}, {1280, 540, 640, 540}, {640, 0, 640, 540},
  };
  ASSERT_EQ(runs.size(), expected.size());
  for (std::size_t index = 0; index < expected.size(); ++index) {
    EXPECT_EQ(runs[index].view, expected[index]) << "search frame " << index + 1;
  }
}

TEST_F(NewAreaSearch, StartsEverySearchWithoutPositiveDetection) {
  // The model fails after the search began, so no later step can have cleared them.
  Models(R"({"calls": [{"throw": "std"}]})");
  peer.positiveDetection() = true;
  peer.positiveDetectionCount() = 4;
  Run(Frame(480, 360));
  EXPECT_FALSE(peer.positiveDetection());
  EXPECT_EQ(peer.positiveDetectionCount(), 0);
}

}  // namespace
