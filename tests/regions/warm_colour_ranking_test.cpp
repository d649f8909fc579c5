#include "tests/regions/section_frames.h"
#include "tests/support/console_capture.h"
#include "tests/support/peer_test.h"

#include <gtest/gtest.h>
#include <opencv2/imgproc.hpp>

#include <vector>

namespace {

using tevtest::BlackFrame;
using tevtest::FrameWithWarmPatches;
using Section = TEVCustomFSTestPeer::ImageSection;

class WarmRanking : public PeerTest {
 protected:
  std::vector<int> Priorities() {
    std::vector<int> priorities;
    for (const Section& section : peer.cachedSections()) {
      priorities.push_back(section.priority);
    }
    return priorities;
  }
};

TEST_F(WarmRanking, FrameWithoutWarmColourRanksInListOrder) {
  peer.divideImage(BlackFrame({1280, 720}));
  for (Section& section : peer.cachedSections()) {
    section.priority = 5 - section.priority;
  }

  peer.RankCachedSectionsByWarmColor(BlackFrame({1280, 720}));

  EXPECT_EQ(Priorities(), (std::vector<int>{1, 2, 3, 4}));
}

TEST_F(WarmRanking, WarmestTileFirstAndEqualCountsKeepListOrder) {
  // List order: top-left, top-right, bottom-left, bottom-right.
  peer.divideImage(BlackFrame({1280, 720}));
  const cv::Mat frame = FrameWithWarmPatches({1280, 720}, {
                                                              {700, 10, 10, 5},   // 50
                                                              {10, 400, 20, 10},  // 200
                                                              {700, 400, 5, 10},  // 50
                                                          });
  const auto regions = peer.cachedSections();

  peer.RankCachedSectionsByWarmColor(frame);

  EXPECT_EQ(Priorities(), (std::vector<int>{4, 2, 1, 3}));
  for (std::size_t i = 0; i < regions.size(); ++i) {
    EXPECT_EQ(peer.cachedSections()[i].region, regions[i].region);
  }
}

TEST_F(WarmRanking, WarmColourBoundaries) {
  const struct {
    cv::Vec3b bgr;
    cv::Vec3b hsv;
    bool warm;
  } cases[] = {
      {{91, 150, 150}, {30, 100, 150}, true},  // the corner of the red-to-yellow range
      {{91, 150, 149}, {31, 100, 150}, false}, {{92, 150, 150}, {30, 99, 150}, false},
      {{0, 0, 150}, {0, 255, 150}, true},      {{0, 0, 149}, {0, 255, 149}, false},
      {{166, 0, 255}, {160, 255, 255}, true},  // the red wrap-around range
      {{130, 91, 150}, {160, 100, 150}, true}, {{132, 91, 150}, {159, 100, 150}, false},
      {{5, 0, 255}, {179, 255, 255}, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "HSV " << c.hsv);
    cv::Mat pixelHsv;
    cv::cvtColor(cv::Mat(1, 1, CV_8UC3, cv::Scalar(c.bgr[0], c.bgr[1], c.bgr[2])), pixelHsv,
                 cv::COLOR_BGR2HSV);
    ASSERT_EQ(pixelHsv.at<cv::Vec3b>(0, 0), c.hsv);

    // One pixel of the colour in the right tile of two; ties go to the left tile.
    cv::Mat frame = BlackFrame({640, 480});
    frame.at<cv::Vec3b>(240, 500) = c.bgr;
    peer.divideImage(frame);
    peer.RankCachedSectionsByWarmColor(frame);

    ASSERT_EQ(peer.cachedSections()[1].region, cv::Rect(320, 0, 320, 480));
    EXPECT_EQ(peer.cachedSections()[1].priority, c.warm ? 1 : 2);
  }
}

TEST_F(WarmRanking, CountsOnlyThePartOfASectionInsideTheFrame) {
  const cv::Mat frame = FrameWithWarmPatches({200, 100}, {{120, 10, 10, 10}, {190, 90, 10, 10}});
  peer.cachedSections() = {
      {{500, 500, 50, 50}, 1},  // outside the frame: 0
      {{0, 0, 100, 100}, 2},    // 0
      {{100, 0, 100, 100}, 3},  // 200
      {{190, 90, 50, 50}, 4},   // inside part (190, 90, 10, 10): 100
  };

  peer.RankCachedSectionsByWarmColor(frame);

  EXPECT_EQ(Priorities(), (std::vector<int>{3, 4, 1, 2}));
  EXPECT_EQ(peer.cachedSections()[0].region, cv::Rect(500, 500, 50, 50));
}

TEST_F(WarmRanking, SingleSectionBecomesFirst) {
  peer.cachedSections() = {{{0, 0, 10, 10}, 5}};
  peer.RankCachedSectionsByWarmColor(BlackFrame({20, 20}));
  EXPECT_EQ(Priorities(), (std::vector<int>{1}));
}

TEST_F(WarmRanking, NothingToRankChangesNothing) {
  peer.RankCachedSectionsByWarmColor(FrameWithWarmPatches({100, 100}, {{0, 0, 10, 10}}));
  EXPECT_TRUE(peer.cachedSections().empty());

  peer.cachedSections() = {{{0, 0, 10, 10}, 2}, {{10, 0, 10, 10}, 1}};
  peer.RankCachedSectionsByWarmColor(cv::Mat());
  EXPECT_EQ(Priorities(), (std::vector<int>{2, 1}));
}

TEST_F(WarmRanking, OpenCvFailureIsAbsorbedSilentlyAndKeepsPriorities) {
  peer.cachedSections() = {{{0, 0, 10, 10}, 2}, {{10, 0, 10, 10}, 1}};
  tevtest::ConsoleCapture console;

  // A grey frame cannot be converted from BGR.
  peer.RankCachedSectionsByWarmColor(cv::Mat(20, 20, CV_8UC1, cv::Scalar(255)));

  EXPECT_EQ(Priorities(), (std::vector<int>{2, 1}));
  EXPECT_EQ(console.Out(), "");
  EXPECT_EQ(console.Err(), "");
}

}  // namespace
