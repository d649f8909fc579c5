#include "tests/regions/section_frames.h"
#include "tests/support/console_capture.h"
#include "tests/support/peer_test.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using tevtest::BlackFrame;
using tevtest::FrameWithWarmPatches;
using tevtest::RegionsByPriority;

using Sections = PeerTest;

// Every pixel of the frame lies in exactly one tile.
void ExpectTilesCoverFrameExactly(const std::vector<TEVCustomFSTestPeer::ImageSection>& sections,
                                  cv::Size size) {
  cv::Mat cover(size, CV_32S, cv::Scalar(0));
  for (const auto& section : sections) {
    ASSERT_EQ(section.region & cv::Rect(cv::Point(0, 0), size), section.region);
    cover(section.region) += 1;
  }
  double low = 0;
  double high = 0;
  cv::minMaxLoc(cover, &low, &high);
  EXPECT_EQ(low, 1);
  EXPECT_EQ(high, 1);
}

TEST_F(Sections, DivideImageCutsTheFrameIntoCentreOrderedTiles) {
  const struct {
    cv::Size size;
    std::vector<cv::Rect> byPriority;
  } cases[] = {
      {{640, 480}, {{0, 0, 320, 480}, {320, 0, 320, 480}}},
      // Portrait frames get columns too, not stacked tiles.
      {{480, 640}, {{0, 0, 240, 640}, {240, 0, 240, 640}}},
      {{1280, 720},
       {{0, 0, 640, 360}, {640, 0, 640, 360}, {0, 360, 640, 360}, {640, 360, 640, 360}}},
      {{1920, 1080},
       {{640, 0, 640, 540},
        {640, 540, 640, 540},
        {0, 0, 640, 540},
        {1280, 0, 640, 540},
        {0, 540, 640, 540},
        {1280, 540, 640, 540}}},
      // The last column and row absorb the remainder.
      {{1921, 1081},
       {{480, 0, 480, 540},
        {960, 0, 480, 540},
        {480, 540, 480, 541},
        {960, 540, 480, 541},
        {0, 0, 480, 540},
        {1440, 0, 481, 540},
        {0, 540, 480, 541},
        {1440, 540, 481, 541}}},
      // Ten tiles wanted, a 3 x 4 grid made.
      {{3840, 2160},
       {{960, 720, 960, 720},
        {1920, 720, 960, 720},
        {960, 0, 960, 720},
        {1920, 0, 960, 720},
        {960, 1440, 960, 720},
        {1920, 1440, 960, 720},
        {0, 720, 960, 720},
        {2880, 720, 960, 720},
        {0, 0, 960, 720},
        {2880, 0, 960, 720},
        {0, 1440, 960, 720},
        {2880, 1440, 960, 720}}},
      {{400, 300}, {{0, 0, 400, 300}}},
      // Truncated halves put the lower row's centres 1 pixel nearer the frame centre.
      {{1000, 90}, {{0, 45, 500, 45}, {500, 45, 500, 45}, {0, 0, 500, 45}, {500, 0, 500, 45}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.size);
    TEVCustomFS fresh;
    TEVCustomFSTestPeer freshPeer(fresh);

    const auto result = freshPeer.divideImage(BlackFrame(c.size));

    EXPECT_EQ(freshPeer.cachedImageSize(), c.size);
    const auto& sections = freshPeer.cachedSections();
    ASSERT_EQ(sections.size(), c.byPriority.size());
    for (std::size_t i = 0; i < sections.size(); ++i) {
      SCOPED_TRACE(i);
      // The list itself is in priority order straight after the split.
      EXPECT_EQ(sections[i].priority, static_cast<int>(i) + 1);
      EXPECT_EQ(sections[i].region, c.byPriority[i]);
      EXPECT_EQ(result[i].region, sections[i].region);
      EXPECT_EQ(result[i].priority, sections[i].priority);
    }
    ExpectTilesCoverFrameExactly(sections, c.size);
  }
}

TEST_F(Sections, FullHdTilesHaveTheirCentreDistances) {
  peer.divideImage(BlackFrame({1920, 1080}));
  const double distances[] = {270.0, 270.0, 694.6, 694.6, 694.6, 694.6};
  const auto& sections = peer.cachedSections();
  ASSERT_EQ(sections.size(), 6u);
  for (std::size_t i = 0; i < sections.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_NEAR(peer.calculateDistanceToCenter({960, 540}, sections[i].region), distances[i], 0.05);
  }
}

TEST_F(Sections, TileCountFollowsTheLargerSide) {
  const struct {
    int largerSide;
    std::size_t tiles;
  } cases[] = {{480, 1},  {481, 2},  {960, 2},  {961, 4},  {1280, 4},
               {1281, 6}, {1920, 6}, {1921, 8}, {2560, 8}, {2561, 12}};
  for (const auto& c : cases) {
    for (const cv::Size size : {cv::Size(c.largerSide, 20), cv::Size(20, c.largerSide)}) {
      SCOPED_TRACE(testing::Message() << size);
      TEVCustomFS fresh;
      TEVCustomFSTestPeer freshPeer(fresh);
      EXPECT_EQ(freshPeer.divideImage(BlackFrame(size)).size(), c.tiles);
      EXPECT_EQ(freshPeer.getLowestPriorityRegion(), static_cast<int>(c.tiles));
    }
  }
}

TEST_F(Sections, EqualFrameSizeKeepsTheListAndItsRanking) {
  peer.divideImage(BlackFrame({1280, 720}));
  // The top-left tile is first in the list; a warm bottom-right tile outranks it.
  peer.RankCachedSectionsByWarmColor(FrameWithWarmPatches({1280, 720}, {{700, 400, 20, 20}}));
  const auto ranked = peer.cachedSections();
  ASSERT_EQ(ranked[3].priority, 1);

  const auto result = peer.divideImage(BlackFrame({1280, 720}));

  ASSERT_EQ(peer.cachedSections().size(), ranked.size());
  for (std::size_t i = 0; i < ranked.size(); ++i) {
    EXPECT_EQ(peer.cachedSections()[i].region, ranked[i].region);
    EXPECT_EQ(peer.cachedSections()[i].priority, ranked[i].priority);
    EXPECT_EQ(result[i].priority, ranked[i].priority);
  }
}

TEST_F(Sections, NewFrameSizeRebuildsWithCentrePriorities) {
  peer.divideImage(BlackFrame({1280, 720}));
  peer.cachedSections()[0].priority = 4;
  peer.cachedSections()[3].priority = 1;

  peer.divideImage(BlackFrame({640, 480}));

  EXPECT_EQ(peer.cachedImageSize(), cv::Size(640, 480));
  EXPECT_EQ(RegionsByPriority(peer.cachedSections()),
            (std::vector<cv::Rect>{{0, 0, 320, 480}, {320, 0, 320, 480}}));
}

TEST_F(Sections, EmptyFrameIsReportedAndChangesNothing) {
  peer.divideImage(BlackFrame({640, 480}));
  peer.cachedSections()[0].priority = 2;
  peer.cachedSections()[1].priority = 1;

  tevtest::ConsoleCapture console;
  const auto result = peer.divideImage(cv::Mat());

  EXPECT_EQ(console.Err(), "Error: Empty image!\n");
  EXPECT_EQ(console.Out(), "");
  EXPECT_EQ(peer.cachedImageSize(), cv::Size(640, 480));
  ASSERT_EQ(result.size(), 2u);
  EXPECT_EQ(result[0].priority, 2);
  EXPECT_EQ(peer.cachedSections()[0].priority, 2);
  EXPECT_EQ(peer.cachedSections()[1].priority, 1);
}

TEST_F(Sections, PriorityLookupsOnTheList) {
  EXPECT_EQ(peer.getHighestPriorityRegion(), 0);
  EXPECT_EQ(peer.getLowestPriorityRegion(), 0);
  EXPECT_EQ(peer.getRegionByPriority(1), cv::Rect(0, 0, 0, 0));

  peer.divideImage(BlackFrame({1280, 720}));

  EXPECT_EQ(peer.getHighestPriorityRegion(), 1);
  EXPECT_EQ(peer.getLowestPriorityRegion(), 4);
  EXPECT_EQ(peer.getRegionByPriority(1), cv::Rect(0, 0, 640, 360));
  EXPECT_EQ(peer.getRegionByPriority(4), cv::Rect(640, 360, 640, 360));
  EXPECT_EQ(peer.getRegionByPriority(0), cv::Rect(0, 0, 0, 0));
  EXPECT_EQ(peer.getRegionByPriority(5), cv::Rect(0, 0, 0, 0));
  EXPECT_EQ(peer.getRegionByPriority(-1), cv::Rect(0, 0, 0, 0));

  // A repeated priority (not made by the module itself) resolves to the first in list order.
  peer.cachedSections()[2].priority = 2;
  EXPECT_EQ(peer.getRegionByPriority(2), cv::Rect(640, 0, 640, 360));
}

TEST_F(Sections, ScanCycleVisitsEveryPriorityAndReRanksAtEachStart) {
  const cv::Size size(1280, 720);
  const cv::Rect topLeft(0, 0, 640, 360);
  const cv::Rect topRight(640, 0, 640, 360);
  const cv::Rect bottomLeft(0, 360, 640, 360);
  const cv::Rect bottomRight(640, 360, 640, 360);
  // A warm patch that wanders from tile to tile; only the frame at a cycle start ranks.
  const struct {
    cv::Rect warmTile;
    int priority;
    cv::Rect searched;
  } frames[] = {
      {bottomRight, 1, bottomRight},  // ranked: BR, then the rest in list order
      {topLeft, 2, topLeft},         {topLeft, 3, topRight},      {topRight, 4, bottomLeft},
      {topRight, 1, topRight},  // new cycle, ranked again: TR, TL, BL, BR
      {bottomLeft, 2, topLeft},      {bottomLeft, 3, bottomLeft}, {bottomLeft, 4, bottomRight},
      {bottomLeft, 1, bottomLeft},
  };
  int frameNumber = 0;
  for (const auto& f : frames) {
    SCOPED_TRACE(testing::Message() << "frame " << frameNumber++);
    const cv::Rect patch(f.warmTile.x + 100, f.warmTile.y + 100, 30, 30);

    peer.UpdatePriorityRegion(FrameWithWarmPatches(size, {patch}));

    EXPECT_EQ(peer.currentPriority(), f.priority);
    EXPECT_EQ(peer.getRegionByPriority(peer.currentPriority()), f.searched);
  }
  EXPECT_EQ(RegionsByPriority(peer.cachedSections()),
            (std::vector<cv::Rect>{bottomLeft, topLeft, topRight, bottomRight}));
}

TEST_F(Sections, RankingBetweenCycleStartsIsKept) {
  const cv::Size size(1280, 720);
  peer.UpdatePriorityRegion(FrameWithWarmPatches(size, {{700, 400, 30, 30}}));
  const auto ranked = peer.cachedSections();

  // Warm colour elsewhere does not reorder a running cycle.
  peer.UpdatePriorityRegion(FrameWithWarmPatches(size, {{10, 10, 300, 300}}));

  ASSERT_EQ(peer.currentPriority(), 2);
  for (std::size_t i = 0; i < ranked.size(); ++i) {
    EXPECT_EQ(peer.cachedSections()[i].priority, ranked[i].priority);
  }
}

TEST_F(Sections, SingleTileIsReRankedAndSearchedOnEveryFrame) {
  const cv::Mat frame = BlackFrame({400, 300});
  for (int i = 0; i < 3; ++i) {
    SCOPED_TRACE(i);
    peer.UpdatePriorityRegion(frame);
    ASSERT_EQ(peer.cachedSections().size(), 1u);
    EXPECT_EQ(peer.currentPriority(), 1);
    EXPECT_EQ(peer.getRegionByPriority(1), cv::Rect(0, 0, 400, 300));
    // Spoil the priority: only a ranking (a new cycle) puts it back.
    peer.cachedSections()[0].priority = 7;
  }
}

TEST_F(Sections, FrameSizeChangeContinuesTheRunningCycle) {
  const cv::Rect left(0, 0, 320, 480);
  const cv::Rect right(320, 0, 320, 480);
  const struct {
    int priorityBefore;
    int priorityAfter;
    std::vector<cv::Rect> byPriority;
  } cases[] = {
      // Still below the new count: advances on the centre-ordered list.
      {1, 2, {left, right}},
      // At or past the new count: a new cycle, ranked (the warm patch is on the right).
      {2, 1, {right, left}},
      {3, 1, {right, left}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.priorityBefore);
    TEVCustomFS fresh;
    TEVCustomFSTestPeer freshPeer(fresh);
    freshPeer.divideImage(BlackFrame({1280, 720}));
    freshPeer.currentPriority() = c.priorityBefore;

    freshPeer.UpdatePriorityRegion(FrameWithWarmPatches({640, 480}, {{400, 100, 30, 30}}));

    EXPECT_EQ(freshPeer.cachedImageSize(), cv::Size(640, 480));
    EXPECT_EQ(freshPeer.currentPriority(), c.priorityAfter);
    EXPECT_EQ(RegionsByPriority(freshPeer.cachedSections()), c.byPriority);
    EXPECT_EQ(freshPeer.getRegionByPriority(freshPeer.currentPriority()), right);
  }
}

TEST_F(Sections, EmptyFrameWithoutTilesStopsTheScan) {
  peer.currentPriority() = 3;
  tevtest::ConsoleCapture console;

  peer.UpdatePriorityRegion(cv::Mat());

  EXPECT_EQ(peer.currentPriority(), 0);
  EXPECT_TRUE(peer.cachedSections().empty());
  EXPECT_EQ(console.Err(), "Error: Empty image!\n");
}

}  // namespace
