#include "tests/colour/red_green.h"
#include "tests/detector/detector_fixture.h"
#include "tests/support/peer_test.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

using tevtest::kGreen;
using tevtest::kRed;
using tevtest::kRedSide;
using tevtest::MatchingBeforeCleaning;
using tevtest::Range;
using tevtest::Ranges;

enum class Axis { kColumns, kRows };

// `before` up to (not including) column or row `at`, `after` from there on.
cv::Mat TwoColourFrame(cv::Size size, const cv::Scalar& before, const cv::Scalar& after, Axis axis,
                       int at) {
  cv::Mat frame(size, CV_8UC3, after);
  if (axis == Axis::kColumns) {
    frame.colRange(0, at).setTo(before);
  } else {
    frame.rowRange(0, at).setTo(before);
  }
  return frame;
}

cv::Mat RedUpTo(Axis axis, int at) {
  return TwoColourFrame({200, 200}, kRed, kGreen, axis, at);
}

class ColourShare : public PeerTest {
 protected:
  bool Test(const cv::Mat& frame, const cv::Rect& box, float ratio,
            const Ranges& ranges = {kRedSide}) const {
    return peer.DetectFireNSmokeColourInFrame(frame, box, ranges, ratio);
  }
};

TEST_F(ColourShare, RegionIsTheBoxWidenedBy20AndClippedToTheFrame) {
  const struct {
    cv::Rect box;
    cv::Rect region;  // expected
    Axis axis;
    int redUpTo;
  } cases[] = {
      // At the top-left corner the box grows only to the right and downwards.
      {{0, 0, 10, 10}, {0, 0, 30, 30}, Axis::kColumns, 15},
      {{0, 0, 10, 10}, {0, 0, 30, 30}, Axis::kRows, 15},
      // A box of zero size still gives 40 x 40.
      {{100, 100, 0, 0}, {80, 80, 40, 40}, Axis::kColumns, 90},
      {{100, 100, 0, 0}, {80, 80, 40, 40}, Axis::kRows, 110},
      {{20, 20, 20, 20}, {0, 0, 60, 60}, Axis::kColumns, 45},
      {{185, 185, 10, 10}, {165, 165, 35, 35}, Axis::kColumns, 180},
      {{185, 185, 10, 10}, {165, 165, 35, 35}, Axis::kRows, 193},
      // Just right of the frame: the widening still reaches 15 columns back into it.
      {{205, 50, 10, 10}, {185, 30, 15, 50}, Axis::kColumns, 190},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "box " << c.box << (c.axis == Axis::kRows ? " rows" : "")
                                    << " red up to " << c.redUpTo);
    const cv::Mat frame = RedUpTo(c.axis, c.redUpTo);
    const int start = c.axis == Axis::kColumns ? c.region.x : c.region.y;
    const int across = c.axis == Axis::kColumns ? c.region.height : c.region.width;
    const int matching = (c.redUpTo - start) * across;
    const float share = static_cast<float>(matching) / static_cast<float>(c.region.area());

    // Passes just below its share, fails at it: the share is exactly matching / region area.
    EXPECT_TRUE(Test(frame, c.box, std::nextafter(share, 0.0f)));
    EXPECT_FALSE(Test(frame, c.box, share));
  }
}

TEST_F(ColourShare, BoxWhoseWidenedRegionMissesTheFrameFails) {
  const cv::Mat red(200, 200, CV_8UC3, kRed);
  const cv::Rect boxes[] = {
      {220, 50, 10, 10}, {50, 220, 10, 10},  {250, 250, 10, 10},
      {-40, 50, 10, 10}, {50, -100, 10, 10}, {-100, -100, 50, 50},
  };
  for (const cv::Rect& box : boxes) {
    SCOPED_TRACE(testing::Message() << box);
    EXPECT_FALSE(Test(red, box, 0.0f));
  }
  // Control: the same frame passes for a box inside it.
  EXPECT_TRUE(Test(red, {50, 50, 10, 10}, 0.0f));
}

TEST_F(ColourShare, RatioMustLieWithinZeroAndOne) {
  const cv::Mat red(200, 200, CV_8UC3, kRed);
  const cv::Mat green(200, 200, CV_8UC3, kGreen);
  const cv::Rect box(50, 50, 20, 20);

  EXPECT_TRUE(Test(red, box, 0.0f));
  EXPECT_TRUE(Test(red, box, 0.99f));
  EXPECT_FALSE(Test(red, box, 1.0f));  // the share cannot exceed 1
  EXPECT_FALSE(Test(red, box, -0.01f));
  EXPECT_FALSE(Test(red, box, 1.01f));
  EXPECT_FALSE(Test(red, box, std::numeric_limits<float>::quiet_NaN()));
  EXPECT_FALSE(Test(green, box, 0.0f));  // nothing matches: share 0 is not above 0
}

TEST_F(ColourShare, RatioZeroPassesOnceSomethingSurvivesTheCleaning) {
  const cv::Rect box(100, 100, 0, 0);  // region (80, 80, 40, 40)
  const cv::Rect region(80, 80, 40, 40);

  // Three red columns along the region's edge survive the opening.
  EXPECT_TRUE(Test(RedUpTo(Axis::kColumns, 83), box, 0.0f));

  // One column matches before cleaning but is too thin to survive it.
  const cv::Mat thin = RedUpTo(Axis::kColumns, 81);
  ASSERT_EQ(MatchingBeforeCleaning(thin, region, kRedSide), 40);
  EXPECT_FALSE(Test(thin, box, 0.0f));
}

TEST_F(ColourShare, SpecksSmallerThanTheElementAreRemoved) {
  const cv::Rect box(100, 100, 20, 20);  // region (80, 80, 60, 60)
  const cv::Rect region(80, 80, 60, 60);
  // Only the brightest pixels of a blurred white speck reach V 69.
  const Range brightest{cv::Scalar(0, 0, 69, 0), cv::Scalar(255, 255, 255, 0)};

  cv::Mat specks(200, 200, CV_8UC3, cv::Scalar::all(0));
  specks(cv::Rect(90, 90, 5, 5)).setTo(cv::Scalar::all(255));
  specks(cv::Rect(120, 115, 5, 5)).setTo(cv::Scalar::all(255));
  const int before = MatchingBeforeCleaning(specks, region, brightest);
  ASSERT_GT(before, 0);
  ASSERT_LT(before, 25);
  EXPECT_FALSE(Test(specks, box, 0.0f, {brightest}));

  // Control: a patch larger than the element stays.
  cv::Mat patch(200, 200, CV_8UC3, cv::Scalar::all(0));
  patch(cv::Rect(100, 100, 15, 15)).setTo(cv::Scalar::all(255));
  EXPECT_TRUE(Test(patch, box, 0.0f, {brightest}));
}

TEST_F(ColourShare, BlurReadsTheFramePixelsAroundTheRegion) {
  const cv::Rect box(100, 100, 0, 0);  // region (80, 80, 40, 40)
  const Range bright{cv::Scalar(0, 0, 179, 0), cv::Scalar(255, 255, 255, 0)};

  // White exactly over the region, black around it: the blur darkens the region's rim.
  cv::Mat rimmed(200, 200, CV_8UC3, cv::Scalar::all(0));
  rimmed(cv::Rect(80, 80, 40, 40)).setTo(cv::Scalar::all(255));
  EXPECT_FALSE(Test(rimmed, box, 0.99f, {bright}));

  const cv::Mat white(200, 200, CV_8UC3, cv::Scalar::all(255));
  EXPECT_TRUE(Test(white, box, 0.99f, {bright}));
}

TEST_F(ColourShare, FrameIsLeftUnchanged) {
  cv::Mat frame(200, 200, CV_8UC3);
  cv::RNG rng(7);
  rng.fill(frame, cv::RNG::UNIFORM, 0, 256);
  frame(cv::Rect(60, 60, 80, 80)).setTo(kRed);
  const cv::Mat original = frame.clone();
  const uchar* pixels = frame.data;

  const bool result = Test(frame, {80, 80, 40, 40}, 0.1f);

  EXPECT_TRUE(result);
  EXPECT_EQ(frame.data, pixels);
  EXPECT_EQ(cv::norm(frame, original, cv::NORM_INF), 0.0);
}

TEST_F(ColourShare, UnusableInputsFail) {
  const cv::Mat red(200, 200, CV_8UC3, kRed);
  const cv::Rect box(50, 50, 20, 20);
  ASSERT_TRUE(Test(red, box, 0.0f));

  EXPECT_FALSE(Test(cv::Mat(), box, 0.0f));
  EXPECT_FALSE(Test(red, box, 0.0f, {}));
  // The colour conversion rejects a single-channel frame; the failure counts as "no".
  const Range any{cv::Scalar(0, 0, 0, 0), cv::Scalar(255, 255, 255, 0)};
  EXPECT_FALSE(Test(cv::Mat(200, 200, CV_8UC1, cv::Scalar(255)), box, 0.0f, {any}));
}

TEST_F(ColourShare, RangeListedTwiceCountsOnce) {
  const cv::Mat frame = RedUpTo(Axis::kColumns, 100);
  const cv::Rect box(100, 100, 0, 0);  // region (80, 80, 40, 40): half of it red

  EXPECT_TRUE(Test(frame, box, 0.49f, {kRedSide, kRedSide}));
  EXPECT_FALSE(Test(frame, box, 0.5f, {kRedSide, kRedSide}));
}

TEST_F(ColourShare, AnyRangeOfTheListMatches) {
  const Range greenSide{cv::Scalar(50, 0, 0, 0), cv::Scalar(70, 255, 255, 0)};
  const cv::Mat frame = RedUpTo(Axis::kColumns, 90);
  const cv::Rect box(100, 100, 0, 0);  // 10 red columns, 30 green of 40

  EXPECT_FALSE(Test(frame, box, 0.75f, {greenSide}));
  EXPECT_TRUE(Test(frame, box, 0.99f, {greenSide, kRedSide}));
}

// With the colour ranges and ratio that Initialize sets.
using FireColour = DetectorTest;

TEST_F(FireColour, NeedsMoreThanAQuarterOfTheWidenedRegion) {
  ASSERT_TRUE(Initialize());
  const cv::Rect box(100, 100, 20, 20);  // region (80, 80, 60, 60): 3600 pixels
  // White against grey 103: the blurred edge crosses V 179 exactly at the edge.
  const cv::Scalar white = cv::Scalar::all(255);
  const cv::Scalar grey = cv::Scalar::all(103);

  // 15 bright columns of 60: 900 pixels, exactly a quarter, is not enough.
  EXPECT_FALSE(
      peer.IsFireDetected(TwoColourFrame({200, 200}, white, grey, Axis::kColumns, 95), box));
  EXPECT_TRUE(
      peer.IsFireDetected(TwoColourFrame({200, 200}, white, grey, Axis::kColumns, 96), box));
}

TEST_F(FireColour, BrightPatchMustReachBeyondTheBox) {
  ASSERT_TRUE(Initialize());
  const cv::Rect box(100, 100, 20, 20);

  // The box alone holds 400 pixels, fewer than the 901 needed.
  cv::Mat boxOnly(200, 200, CV_8UC3, cv::Scalar::all(0));
  boxOnly(box).setTo(cv::Scalar(200, 240, 255));
  EXPECT_FALSE(peer.IsFireDetected(boxOnly, box));

  cv::Mat glow(200, 200, CV_8UC3, cv::Scalar::all(0));
  glow(cv::Rect(90, 90, 40, 40)).setTo(cv::Scalar(200, 240, 255));
  EXPECT_TRUE(peer.IsFireDetected(glow, box));
}

TEST_F(FireColour, UsesTheFireRangesAndTheRatioAsFloat) {
  ASSERT_TRUE(Initialize());
  peer.fireColourRanges() = {kRedSide};
  const cv::Mat frame = RedUpTo(Axis::kColumns, 100);
  const cv::Rect box(100, 100, 0, 0);  // share 0.5 exactly

  peer.fireColourRatio() = 0.49;
  EXPECT_TRUE(peer.IsFireDetected(frame, box));
  peer.fireColourRatio() = 0.5;
  EXPECT_FALSE(peer.IsFireDetected(frame, box));
  // Below 0.5 as a double, 0.5 as a float: the test compares floats.
  peer.fireColourRatio() = 0.4999999999;
  EXPECT_FALSE(peer.IsFireDetected(frame, box));
}

TEST_F(FireColour, SmokeTestUsesTheSmokeRangesAndRatio09) {
  ASSERT_TRUE(Initialize());
  const cv::Rect box(100, 100, 0, 0);  // region (80, 80, 40, 40)
  // Grey 154 is smoke (V at most 204); white is not. The blurred edge crosses V 204.5.
  const cv::Scalar smoke = cv::Scalar::all(154);
  const cv::Scalar white = cv::Scalar::all(255);

  // 36 of 40 columns: exactly 0.9, not above it.
  EXPECT_FALSE(
      peer.IsSmokeDetected(TwoColourFrame({200, 200}, smoke, white, Axis::kColumns, 116), box));
  EXPECT_TRUE(
      peer.IsSmokeDetected(TwoColourFrame({200, 200}, smoke, white, Axis::kColumns, 117), box));

  // The fire ranges play no part.
  peer.fireColourRanges().clear();
  EXPECT_TRUE(
      peer.IsSmokeDetected(TwoColourFrame({200, 200}, smoke, white, Axis::kColumns, 117), box));
  peer.smokeColourRanges().clear();
  EXPECT_FALSE(
      peer.IsSmokeDetected(TwoColourFrame({200, 200}, smoke, white, Axis::kColumns, 117), box));
}

using Gates = PeerTest;

TEST_F(Gates, FireAlwaysPassesSmokeNeedsTheDefaultSmokeScore) {
  const struct {
    int classId;
    float score;
    bool passes;
  } cases[] = {
      {0, 0.0f, true}, {0, -1.0f, true}, {0, 0.99f, true},  {2, 0.7f, true},  {2, 0.69f, false},
      {2, 1.0f, true}, {2, 0.0f, false}, {1, 0.99f, false}, {3, 1.0f, false}, {-1, 1.0f, false},
  };
  // Whatever the "SmokeScore" setting says.
  for (const float setting : {0.0f, 0.7f, 0.95f}) {
    peer.smokeScoreSetting() = setting;
    for (const auto& c : cases) {
      SCOPED_TRACE(testing::Message()
                   << "class " << c.classId << " score " << c.score << " setting " << setting);
      EXPECT_EQ(peer.IsFireOrSmoke(c.classId, c.score), c.passes);
    }
  }
}

TEST_F(Gates, ObjectMustCoverTheMinimumShareOfTheFrame) {
  const struct {
    cv::Rect box;
    cv::Size frame;
    float minRatio;
    bool largeEnough;
  } cases[] = {
      {{0, 0, 25, 25}, {1920, 1080}, 0.0003f, true},  // 625 of 622.08 needed
      {{0, 0, 24, 25}, {1920, 1080}, 0.0003f, false},
      {{0, 0, 50, 50}, {100, 100}, 0.25f, true},  // exactly the ratio
      {{0, 0, 49, 51}, {100, 100}, 0.25f, false},
      {{0, 0, 1, 1}, {0, 0}, 0.0003f, true},  // no frame area: nothing to compare with
      {{0, 0, 1, 1}, {0, 100}, 0.5f, true},
      {{0, 0, 1, 1}, {-10, 100}, 0.5f, true},
      {{0, 0, -5, 100}, {100, 100}, 0.0003f, false},  // negative width counts as no area
      {{0, 0, -5, 100}, {100, 100}, 0.0f, true},
      {{0, 0, 100, -5}, {100, 100}, -0.1f, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.box << " in " << c.frame << " ratio " << c.minRatio);
    peer.minObjectRatio() = c.minRatio;
    EXPECT_EQ(peer.IsObjectLargeEnough(c.box, c.frame), c.largeEnough);
  }
}

}  // namespace
