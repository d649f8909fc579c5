#include "tests/support/peer_test.h"

#include <gtest/gtest.h>

namespace {

// A detector holding a 224 x 224 area with one recorded track.
class StateMachine : public PeerTest {
 protected:
  void Hold(int noDetectionCount) {
    peer.detectedArea() = kArea;
    peer.detectionActive() = true;
    peer.noDetectionCount() = noDetectionCount;
    peer.positiveDetection() = true;
    peer.positiveDetectionCount() = 3;
    peer.UpdateTrackHistory(7, 0, cv::Rect(120, 130, 40, 40), 0.9f, 200.0);
  }

  void ExpectSearching() {
    EXPECT_EQ(peer.detectedArea(), cv::Rect(0, 0, 0, 0));
    EXPECT_FALSE(peer.detectionActive());
    EXPECT_EQ(peer.noDetectionCount(), 0);
    EXPECT_TRUE(peer.trackHistory().empty());
  }

  const cv::Rect kArea{100, 120, 224, 224};
};

TEST_F(StateMachine, AreaIsValidOnlyWhenBothSidesExceedTheMinimum) {
  const struct {
    cv::Rect rect;
    bool valid;
  } cases[] = {
      {{0, 0, 51, 51}, true}, {{10, 10, 50, 200}, false}, {{10, 10, 200, 50}, false},
      {{0, 0, 0, 0}, false},  {{5, 5, 51, 50}, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.rect);
    EXPECT_EQ(peer.IsDetectedAreaValid(c.rect), c.valid);
  }
}

TEST_F(StateMachine, AreaValidityFollowsTheMinimumMember) {
  peer.minDetectedAreaSize() = 10;
  EXPECT_TRUE(peer.IsDetectedAreaValid({0, 0, 11, 11}));
  EXPECT_FALSE(peer.IsDetectedAreaValid({0, 0, 10, 11}));
}

TEST_F(StateMachine, ResetDetectedAreaZeroesOnlyTheArea) {
  Hold(12);
  peer.ResetDetectedArea();
  EXPECT_EQ(peer.detectedArea(), cv::Rect(0, 0, 0, 0));
  EXPECT_TRUE(peer.detectionActive());
  EXPECT_EQ(peer.noDetectionCount(), 12);
  EXPECT_EQ(peer.trackHistory().size(), 1u);
}

TEST_F(StateMachine, PositiveDetectionStartsAHoldAndLeavesThePositiveCountAlone) {
  peer.detectedArea() = kArea;
  peer.noDetectionCount() = 40;
  peer.positiveDetectionCount() = 5;
  peer.UpdatePositiveDetection();
  EXPECT_TRUE(peer.detectionActive());
  EXPECT_EQ(peer.noDetectionCount(), 0);
  EXPECT_TRUE(peer.positiveDetection());
  EXPECT_EQ(peer.positiveDetectionCount(), 5);
  EXPECT_EQ(peer.detectedArea(), kArea);
}

TEST_F(StateMachine, NoDetectionWithoutAHoldResetsAtOnce) {
  Hold(0);
  peer.detectionActive() = false;
  peer.UpdateNoDetectionCondition();
  ExpectSearching();
  EXPECT_FALSE(peer.positiveDetection());
  EXPECT_EQ(peer.positiveDetectionCount(), 0);
}

TEST_F(StateMachine, HoldKeepsTheAreaUntilTheCountReaches80) {
  Hold(78);
  peer.UpdateNoDetectionCondition();
  EXPECT_EQ(peer.noDetectionCount(), 79);
  EXPECT_EQ(peer.detectedArea(), kArea);
  EXPECT_TRUE(peer.detectionActive());
  EXPECT_EQ(peer.trackHistory().size(), 1u);
  EXPECT_FALSE(peer.positiveDetection());
  EXPECT_EQ(peer.positiveDetectionCount(), 0);

  peer.UpdateNoDetectionCondition();
  ExpectSearching();
}

TEST_F(StateMachine, ResetDetectionStateLeavesThePositiveOutcomeAlone) {
  Hold(30);
  peer.ResetDetectionState();
  ExpectSearching();
  EXPECT_TRUE(peer.positiveDetection());
  EXPECT_EQ(peer.positiveDetectionCount(), 3);
}

}  // namespace
