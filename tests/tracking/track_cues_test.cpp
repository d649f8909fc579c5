#include "tests/support/peer_test.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

constexpr int kTrack = 4;

class TrackCues : public PeerTest {
 protected:
  void RecordBoxes(const std::vector<cv::Rect>& boxes) {
    for (const cv::Rect& box : boxes) {
      peer.UpdateTrackHistory(kTrack, 0, box, 0.9f, 150.0);
    }
  }
  void RecordBrightness(const std::vector<double>& vMeans) {
    for (double vMean : vMeans) {
      peer.UpdateTrackHistory(kTrack, 0, cv::Rect(100, 100, 40, 40), 0.9f, vMean);
    }
  }
};

TEST_F(TrackCues, BoxMovementComparesOldestAndNewestBoxOfTheWindow) {
  const cv::Rect start(100, 100, 40, 40);
  const std::vector<cv::Rect> fifteenAtStart(15, start);
  std::vector<cv::Rect> leftTheWindow{cv::Rect(400, 400, 40, 40)};
  leftTheWindow.insert(leftTheWindow.end(), fifteenAtStart.begin(), fifteenAtStart.end());
  const struct {
    const char* name;
    std::vector<cv::Rect> boxes;
    bool moved;
  } cases[] = {
      {"single entry", {start}, false},
      {"shift 0.075", {start, {103, 100, 40, 40}}, true},
      {"shift exactly 0.05", {start, {102, 100, 40, 40}}, false},
      {"vertical shift 0.075", {start, {100, 103, 40, 40}}, true},
      {"same centre, area change 0.0975", {start, {99, 99, 42, 42}}, true},
      {"shift 0.024 and area change 0.049", {start, {100, 100, 42, 40}}, false},
      {"width 0, far away", {{0, 0, 0, 40}, {500, 0, 0, 40}}, false},
      {"height 0, far away", {{0, 0, 40, 0}, {0, 500, 40, 0}}, false},
      {"mean width 0.5", {{0, 0, 1, 40}, {5, 0, 0, 40}}, false},
      {"mean width 1", {{0, 0, 1, 40}, {5, 0, 1, 40}}, true},
      {"wanders away and comes back", {start, {300, 300, 40, 40}, {200, 50, 60, 20}, start}, false},
      {"first box has left the window", leftTheWindow, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    peer.trackHistory().clear();
    RecordBoxes(c.boxes);
    EXPECT_EQ(peer.HasBboxMovement(kTrack), c.moved);
  }
}

TEST_F(TrackCues, FlickerNeedsPopulationDeviationAbove3OverSixSamples) {
  const struct {
    const char* name;
    std::vector<double> vMeans;
    bool flickers;
  } cases[] = {
      {"five samples", {0, 255, 0, 255, 0}, false},
      {"deviation 5", {0, 0, 0, 10, 10, 10}, true},
      {"deviation 1", {100, 102, 100, 102, 100, 102}, false},
      {"population deviation exactly 3", {0, 6, 0, 6, 0, 6}, false},
      {"deviation 3.5", {0, 7, 0, 7, 0, 7}, true},
      {"steady", {120, 120, 120, 120, 120, 120, 120}, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    peer.trackHistory().clear();
    RecordBrightness(c.vMeans);
    EXPECT_EQ(peer.HasFireFlicker(kTrack), c.flickers);
  }
}

TEST_F(TrackCues, UnknownTrackShowsNeitherMovementNorFlicker) {
  RecordBoxes({{0, 0, 40, 40}, {200, 200, 40, 40}});
  RecordBrightness({0, 200, 0, 200, 0, 200});
  ASSERT_TRUE(peer.HasBboxMovement(kTrack));
  ASSERT_TRUE(peer.HasFireFlicker(kTrack));
  EXPECT_FALSE(peer.HasBboxMovement(kTrack + 1));
  EXPECT_FALSE(peer.HasFireFlicker(kTrack + 1));
}

TEST_F(TrackCues, MotionRegionsArePlausibleFromOneToBelowTheMaximum) {
  const struct {
    int maxRegions;
    std::size_t regions;
    bool plausible;
  } cases[] = {
      {10, 0, false},  {10, 1, true}, {10, 9, true}, {10, 10, false},
      {10, 11, false}, {3, 2, true},  {3, 3, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.regions << " of " << c.maxRegions);
    peer.maxMotionRegions() = c.maxRegions;
    EXPECT_EQ(peer.ValidateMotionCorrelation(std::vector<cv::Rect>(c.regions, {0, 0, 5, 5})),
              c.plausible);
  }
}

}  // namespace
