// The ranking's warm-pixel classifier and counter against the OpenCV sequence they
// replace: cv::cvtColor to HSV, the two cv::inRange tests and their OR.
#include "tests/regions/section_frames.h"
#include "tests/support/test_peer.h"

#include <gtest/gtest.h>
#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

namespace {

using Peer = TEVCustomFSTestPeer;
using Section = TEVCustomFSTestPeer::ImageSection;

cv::Mat ReferenceWarmMask(const cv::Mat& bgr) {
  cv::Mat hsv;
  cv::cvtColor(bgr, hsv, cv::COLOR_BGR2HSV);
  cv::Mat warm;
  cv::Mat wrapped;
  cv::inRange(hsv, cv::Scalar(0, 100, 150, 0), cv::Scalar(30, 255, 255, 0), warm);
  cv::inRange(hsv, cv::Scalar(160, 100, 150, 0), cv::Scalar(180, 255, 255, 0), wrapped);
  cv::bitwise_or(warm, wrapped, warm);
  return warm;
}

// Every 8-bit BGR colour once: 4096 x 4096 pixels, B in the low byte of the pixel index.
class EveryColour : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    cube = cv::Mat(4096, 4096, CV_8UC3);
    std::uint8_t* pixel = cube.ptr<std::uint8_t>();
    for (std::uint32_t colour = 0; colour < (1u << 24); ++colour, pixel += 3) {
      pixel[0] = static_cast<std::uint8_t>(colour);
      pixel[1] = static_cast<std::uint8_t>(colour >> 8);
      pixel[2] = static_cast<std::uint8_t>(colour >> 16);
    }
    reference = ReferenceWarmMask(cube);
  }
  static void TearDownTestSuite() {
    cube.release();
    reference.release();
  }

  // The colours where mask and the reference disagree, as "B G R" texts (at most a few).
  static std::vector<std::string> Disagreements(const cv::Mat& mask) {
    std::vector<cv::Point> differ;
    cv::findNonZero(mask != reference, differ);
    std::vector<std::string> found;
    for (std::size_t i = 0; i < differ.size() && i < 5; ++i) {
      const cv::Vec3b bgr = cube.at<cv::Vec3b>(differ[i]);
      found.push_back(std::to_string(bgr[0]) + " " + std::to_string(bgr[1]) + " " +
                      std::to_string(bgr[2]));
    }
    return found;
  }

  static cv::Mat cube;
  static cv::Mat reference;
};

cv::Mat EveryColour::cube;
cv::Mat EveryColour::reference;

TEST_F(EveryColour, ClassifiesEveryColourAsTheHsvConversionAndRangeTestsDo) {
  cv::Mat mask(cube.size(), CV_8UC1, cv::Scalar(7));
  for (int row = 0; row < cube.rows; ++row) {
    Peer::ClassifyWarmPixels(cube.ptr<std::uint8_t>(row), cube.cols, mask.ptr<std::uint8_t>(row));
  }

  EXPECT_EQ(Disagreements(mask), std::vector<std::string>{});
  // Both answers occur, so the comparison means something.
  EXPECT_GT(cv::countNonZero(reference), 0);
  EXPECT_LT(cv::countNonZero(reference), cube.rows * cube.cols);
}

TEST_F(EveryColour, RunsOfAnyLengthAndStartAgreeWithTheReference) {
  cv::Mat mask(cube.size(), CV_8UC1, cv::Scalar(7));
  int length = 1;
  for (int row = 0; row < cube.rows; ++row) {
    for (int start = 0; start < cube.cols; start += length, length = length % 37 + 1) {
      const int pixels = std::min(length, cube.cols - start);
      Peer::ClassifyWarmPixels(cube.ptr<std::uint8_t>(row) + 3 * start, pixels,
                               mask.ptr<std::uint8_t>(row) + start);
    }
  }

  EXPECT_EQ(Disagreements(mask), std::vector<std::string>{});
}

TEST_F(EveryColour, CountsEveryWarmColourInAreasOfAnyShape) {
  const std::vector<cv::Rect> areas = {
      {0, 0, 4096, 4096},   {0, 0, 4096, 1},      {1, 1, 4095, 4095}, {17, 5, 1, 4000},
      {2048, 100, 1000, 3}, {4000, 4000, 96, 96}, {5, 5, 0, 0},       {0, 0, 0, 0}};

  const std::vector<int> counts = Peer::CountWarmPixels(cube, areas);

  ASSERT_EQ(counts.size(), areas.size());
  for (std::size_t i = 0; i < areas.size(); ++i) {
    const int expected = areas[i].empty() ? 0 : cv::countNonZero(reference(areas[i]));
    EXPECT_EQ(counts[i], expected) << areas[i];
  }
}

// Random frames with warm patches: the count of each random area equals the reference
// mask's, whatever the areas' widths, places and overlaps.
TEST(WarmPixelCount, RandomAreasCountAsTheReferenceMask) {
  cv::RNG rng(20240611);
  for (int trial = 0; trial < 40; ++trial) {
    cv::Mat frame(rng.uniform(1, 300), rng.uniform(1, 300), CV_8UC3);
    rng.fill(frame, cv::RNG::UNIFORM, 0, 256);
    const cv::Rect frameRect(0, 0, frame.cols, frame.rows);
    for (int patch = 0; patch < 3; ++patch) {
      const cv::Rect area(rng.uniform(0, frame.cols), rng.uniform(0, frame.rows),
                          rng.uniform(1, 60), rng.uniform(1, 60));
      frame(area & frameRect).setTo(cv::Scalar(rng.uniform(0, 100), rng.uniform(100, 256), 255));
    }
    std::vector<cv::Rect> areas;
    for (int index = 0; index < 12; ++index) {
      const int x = rng.uniform(0, frame.cols);
      const int y = rng.uniform(0, frame.rows);
      areas.emplace_back(x, y, rng.uniform(0, frame.cols - x + 1),
                         rng.uniform(0, frame.rows - y + 1));
    }
    const cv::Mat reference = ReferenceWarmMask(frame);

    const std::vector<int> counts = Peer::CountWarmPixels(frame, areas);

    ASSERT_EQ(counts.size(), areas.size());
    for (std::size_t i = 0; i < areas.size(); ++i) {
      const int expected = areas[i].empty() ? 0 : cv::countNonZero(reference(areas[i]));
      EXPECT_EQ(counts[i], expected) << "frame " << frame.size() << ", area " << areas[i];
    }
  }
}

TEST(WarmPixelCount, OnlyEightBitBgrFramesAndAreasInsideThemAreCounted) {
  const std::vector<cv::Rect> whole = {{0, 0, 4, 4}};
  EXPECT_THROW(Peer::CountWarmPixels(cv::Mat(4, 4, CV_8UC4, cv::Scalar::all(0)), whole),
               cv::Exception);
  EXPECT_THROW(Peer::CountWarmPixels(cv::Mat(4, 4, CV_32FC3, cv::Scalar::all(0)), whole),
               cv::Exception);
  EXPECT_THROW(Peer::CountWarmPixels(cv::Mat(4, 4, CV_8UC3, cv::Scalar::all(0)), {{2, 2, 3, 1}}),
               cv::Exception);
}

// The ranking of an 8-bit BGR frame (counted in place) against the same frame with an alpha
// channel, which the ranking still hands to cv::cvtColor and cv::inRange.
TEST(WarmRankingPaths, BgrFramesRankAsTheConversionRanksTheSameColours) {
  cv::RNG rng(7);
  for (int trial = 0; trial < 30; ++trial) {
    const cv::Size size(rng.uniform(20, 400), rng.uniform(20, 400));
    cv::Mat frame = tevtest::BlackFrame(size);
    rng.fill(frame, cv::RNG::UNIFORM, 0, 120);
    for (int patch = 0; patch < 6; ++patch) {
      const cv::Rect area(rng.uniform(0, size.width), rng.uniform(0, size.height),
                          rng.uniform(1, 80), rng.uniform(1, 80));
      cv::Mat part = frame(area & cv::Rect(cv::Point(0, 0), size));
      rng.fill(part, cv::RNG::UNIFORM, 0, 256);
    }
    std::vector<Section> sections;
    for (int index = 0; index < 7; ++index) {
      sections.push_back({cv::Rect(rng.uniform(-50, size.width), rng.uniform(-50, size.height),
                                   rng.uniform(0, size.width), rng.uniform(0, size.height)),
                          index + 1});
    }
    cv::Mat withAlpha;
    cv::cvtColor(frame, withAlpha, cv::COLOR_BGR2BGRA);

    TEVCustomFS inPlace;
    TEVCustomFS converted;
    TEVCustomFSTestPeer(inPlace).cachedSections() = sections;
    TEVCustomFSTestPeer(converted).cachedSections() = sections;
    TEVCustomFSTestPeer(inPlace).RankCachedSectionsByWarmColor(frame);
    TEVCustomFSTestPeer(converted).RankCachedSectionsByWarmColor(withAlpha);

    const auto& ranked = TEVCustomFSTestPeer(inPlace).cachedSections();
    const auto& expected = TEVCustomFSTestPeer(converted).cachedSections();
    for (std::size_t i = 0; i < sections.size(); ++i) {
      EXPECT_EQ(ranked[i].priority, expected[i].priority) << "trial " << trial << ", section " << i;
    }
  }
}

TEST(WarmRankingPaths, FramesTheConversionRejectsKeepTheirPriorities) {
  for (const int type : {CV_16UC3, CV_8UC1, CV_8UC2}) {
    TEVCustomFS detector;
    TEVCustomFSTestPeer peer(detector);
    peer.cachedSections() = {{{0, 0, 10, 10}, 2}, {{10, 0, 10, 10}, 1}};
    peer.RankCachedSectionsByWarmColor(cv::Mat(20, 20, type, cv::Scalar::all(255)));
    EXPECT_EQ(peer.cachedSections()[0].priority, 2) << cv::typeToString(type);
    EXPECT_EQ(peer.cachedSections()[1].priority, 1) << cv::typeToString(type);
  }
}

}  // namespace
