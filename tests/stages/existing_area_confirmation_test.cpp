#include "tests/stages/stage_fixture.h"

namespace {

using tevtest::Always;
using tevtest::Detection;
using tevtest::Frame;
using tevtest::RunsOf;
using tevtest::Script;
using ExistingAreaConfirmation = StageTest;

const cv::Rect kArea(100, 200, 300, 300);
const cv::Rect kEarlierBox(150, 250, 20, 20);  // far enough from later boxes to count as movement

TEST_F(ExistingAreaConfirmation, MovesDetectionsIntoFrameCoordinates) {
  Models(Always({Detection(0, 0.9, {5, 5, 20, 20}, 3)}));
  Follow(kArea);
  SeedTrack(3, 7, kEarlierBox);

  const auto reported = Run(Frame(1280, 720), "cam-9");
  EXPECT_EQ(RunsOf("detector")[0].view, kArea);
  ASSERT_EQ(reported.size(), 1u);
  EXPECT_EQ(reported[0].box, cv::Rect(105, 205, 20, 20));
  EXPECT_EQ(reported[0].cameraId, "cam-9");
  EXPECT_EQ(peer.trackHistory().at(3).bboxHistory.back(), cv::Rect(105, 205, 20, 20));
}

TEST_F(ExistingAreaConfirmation, EmptyDetectorListAgesTracksAndCountsTwoNoDetectionSteps) {
  Models("{}");
  Follow(kArea);
  SeedTrack(3, 15, kEarlierBox);
  const int age = peer.trackHistory().at(3).age;

  EXPECT_TRUE(Run(Frame(1280, 720)).empty());
  EXPECT_EQ(peer.trackHistory().at(3).totalVotes, 14);
  EXPECT_EQ(peer.trackHistory().at(3).age, age + 1);
  EXPECT_EQ(peer.noDetectionCount(), 2);
  EXPECT_EQ(peer.detectedArea(), kArea);
}

TEST_F(ExistingAreaConfirmation, RecordsOnlyDetectionsPassingRegionClassScoreAndSizeGates) {
  const struct {
    const char* label;
    int classId;
    double confidence;
    cv::Rect box;  // in the view of the area (0, 0, 1000, 1000)
    bool recorded;
  } cases[] = {
      {"class 1", 1, 0.99, {10, 10, 40, 40}, false},
      {"fire 0.25", 0, 0.25, {10, 10, 40, 40}, true},
      {"fire 0.24", 0, 0.24, {10, 10, 40, 40}, false},
      {"smoke 0.7", 2, 0.7, {10, 10, 40, 40}, true},
      {"smoke 0.69", 2, 0.69, {10, 10, 40, 40}, false},
      {"25 x 25 in 1920 x 1080", 0, 0.9, {10, 10, 25, 25}, true},
      {"24 x 25 in 1920 x 1080", 0, 0.9, {10, 10, 24, 25}, false},
      {"30 x 30 inside the exclusive region", 0, 0.9, {1100, 10, 30, 30}, false},
      {"40 x 40 inside the exclusive region", 0, 0.9, {1100, 10, 40, 40}, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    Models(Always({Detection(c.classId, c.confidence, c.box, 4)}));
    peer.ResetDetectionState();
    peer.parametersLoaded() = true;
    peer.exclusiveROIs() = {cv::Rect(1000, 0, 1000, 1000)};
    Follow(cv::Rect(0, 0, 1900, 1000));
    Run(Frame(1920, 1080));
    EXPECT_EQ(Recorded(4), c.recorded);
  }
}

TEST_F(ExistingAreaConfirmation, NewTrackIsConfirmedAtItsEighthDetectionAndNotReportedBefore) {
  // The box moves a little every frame; the dark frame neither flickers nor looks like fire.
  std::vector<std::vector<std::string>> calls;
  for (int frame = 0; frame < 10; ++frame) {
    calls.push_back({Detection(0, 0.9, {10 + 3 * frame, 10, 40, 40}, 6)});
  }
  Models(Script(calls));
  Follow(kArea);

  for (int frame = 1; frame <= 10; ++frame) {
    SCOPED_TRACE(frame);
    const auto reported = Run(Frame(1280, 720));
    EXPECT_EQ(peer.IsTrackLowConfirmed(6), frame >= 6);
    EXPECT_EQ(peer.IsTrackConfirmed(6), frame >= 8);
    EXPECT_EQ(reported.size(), frame >= 8 ? 1u : 0u);
  }
}

TEST_F(ExistingAreaConfirmation, StillSteadyConfirmedTrackIsNotReportedNorFiltered) {
  Models(Always({Detection(0, 0.9, {10, 10, 40, 40}, 6)}));
  Follow(kArea);
  for (int frame = 0; frame < 12; ++frame) {
    EXPECT_TRUE(Run(Frame(1280, 720)).empty());
  }
  EXPECT_TRUE(peer.IsTrackConfirmed(6));
  EXPECT_TRUE(RunsOf("filter").empty());
}

// Alternating brightness: the box's V mean flickers between 255 and 200.
cv::Mat FlickeringFrame(int frame) {
  return Frame(1280, 720, frame % 2 == 0 ? cv::Scalar::all(255) : cv::Scalar::all(200));
}

TEST_F(ExistingAreaConfirmation, LowConfirmedFireNeedsFlickerAndColourAndSmokeNeverPasses) {
  const struct {
    const char* label;
    int classId;
    bool flickering;
    bool reportedAtSixth;
  } cases[] = {
      {"flickering bright fire", 0, true, true},
      {"steady bright fire", 0, false, false},
      {"flickering bright smoke", 2, true, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    // Weak detections: the track collects votes but never high-confidence ones.
    Models(Always({Detection(c.classId, 0.4, {10, 10, 40, 40}, 6)}));
    peer.ResetDetectionState();
    peer.smokeScoreSetting() = 0.3f;
    Follow(kArea);
    std::size_t reportedAtSixth = 0;
    for (int frame = 1; frame <= 6; ++frame) {
      const auto reported =
          Run(c.flickering ? FlickeringFrame(frame) : Frame(1280, 720, cv::Scalar::all(255)));
      if (frame < 6) {
        EXPECT_TRUE(reported.empty()) << "frame " << frame;
      } else {
        reportedAtSixth = reported.size();
      }
    }
    EXPECT_TRUE(peer.IsTrackLowConfirmed(6));
    EXPECT_FALSE(peer.IsTrackConfirmed(6));
    EXPECT_EQ(reportedAtSixth, c.reportedAtSixth ? 1u : 0u);
  }
}

TEST_F(ExistingAreaConfirmation, ReportedConfidenceIsRaisedToTheThreshold) {
  Models(Always({Detection(0, 0.55, {5, 5, 20, 20}, 3)}), "{}", 0.6f);
  Follow(kArea);
  SeedTrack(3, 7, kEarlierBox);
  const auto reported = Run(Frame(1280, 720));
  ASSERT_EQ(reported.size(), 1u);
  EXPECT_FLOAT_EQ(reported[0].confidence, 0.6f);
}

TEST_F(ExistingAreaConfirmation, FilterModelRunsOnceForAllDetectionsOfAFrame) {
  Models(Always({Detection(0, 0.9, {5, 5, 20, 20}, 1), Detection(0, 0.9, {60, 60, 20, 20}, 2)}));
  Follow(kArea);
  SeedTrack(1, 7, kEarlierBox);
  SeedTrack(2, 7, kEarlierBox);
  EXPECT_EQ(Run(Frame(1280, 720)).size(), 2u);
  EXPECT_EQ(RunsOf("filter").size(), 1u);
}

TEST_F(ExistingAreaConfirmation, OnePixelOverlapWithAFilterObjectVetoes) {
  const struct {
    int countBefore;
    int countAfter;
  } cases[] = {{3, 3}, {0, 1}};  // one veto, then one acceptance
  for (const auto& c : cases) {
    SCOPED_TRACE(c.countBefore);
    // Track 1 at (105, 205, 20, 20) is touched at its last pixel; track 2 is clear.
    Models(Always({Detection(0, 0.9, {5, 5, 20, 20}, 1), Detection(0, 0.9, {150, 150, 20, 20}, 2)}),
           Always({Detection(0, 0.9, {124, 224, 10, 10})}, R"("coordinates":"frame")"));
    peer.ResetDetectionState();
    Follow(kArea);
    SeedTrack(1, 7, kEarlierBox);
    SeedTrack(2, 7, kEarlierBox);
    peer.positiveDetectionCount() = c.countBefore;

    const auto reported = Run(Frame(1280, 720));
    ASSERT_EQ(reported.size(), 1u);
    EXPECT_EQ(reported[0].box, cv::Rect(250, 350, 20, 20));
    EXPECT_EQ(peer.positiveDetectionCount(), c.countAfter);
  }
}

}  // namespace
