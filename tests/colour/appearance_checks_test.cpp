#include "tests/colour/red_green.h"
#include "tests/support/peer_test.h"

#include <gtest/gtest.h>
#include <opencv2/imgproc.hpp>

#include <cmath>
#include <string>
#include <vector>

namespace {

using tevtest::kGreen;
using tevtest::kRed;
using tevtest::kRedSide;
using tevtest::MatchingBeforeCleaning;
using tevtest::Range;
using tevtest::Ranges;

const Range kBright{cv::Scalar(0, 0, 200, 0), cv::Scalar(255, 255, 255, 0)};

// Green with red columns [from, to).
cv::Mat RedColumns(int from, int to) {
  cv::Mat image(100, 100, CV_8UC3, kGreen);
  image.colRange(from, to).setTo(kRed);
  return image;
}

using Appearance = PeerTest;

TEST_F(Appearance, SingleRangeShareOfAUniformImage) {
  const cv::Mat red(100, 100, CV_8UC3, kRed);
  EXPECT_TRUE(peer.MajorityColourInFrame(red, kRedSide, 0.5f));
  EXPECT_TRUE(peer.MajorityColourInFrame(red, kRedSide, 0.99f));
  EXPECT_FALSE(peer.MajorityColourInFrame(red, kRedSide, 1.0f));
  EXPECT_FALSE(peer.MajorityColourInFrame(cv::Mat(100, 100, CV_8UC3, kGreen), kRedSide, 0.0f));
}

TEST_F(Appearance, SingleRangeCleansThinStructuresAway) {
  // Five red columns still match after the blur, three columns wide, which the cleaning
  // (two erosions, two dilations) removes. Six stay, exactly.
  const cv::Mat thin = RedColumns(50, 55);
  ASSERT_EQ(MatchingBeforeCleaning(thin, cv::Rect(cv::Point(), thin.size()), kRedSide), 300);

  EXPECT_FALSE(peer.MajorityColourInFrame(thin, kRedSide, 0.0f));

  const cv::Mat wider = RedColumns(50, 56);
  EXPECT_TRUE(peer.MajorityColourInFrame(wider, kRedSide, std::nextafter(0.06f, 0.0f)));
  EXPECT_FALSE(peer.MajorityColourInFrame(wider, kRedSide, 0.06f));
}

TEST_F(Appearance, OnlyTheSingleRangeFormBlursAndCleans) {
  // Alternate white and black columns: half the raw pixels are bright, none once blurred.
  cv::Mat stripes(100, 100, CV_8UC3, cv::Scalar::all(0));
  for (int x = 0; x < stripes.cols; x += 2) {
    stripes.col(x).setTo(cv::Scalar::all(255));
  }
  EXPECT_FALSE(peer.MajorityColourInFrame(stripes, kBright, 0.0f));
  EXPECT_TRUE(peer.MajorityColourInFrame(stripes, Ranges{kBright}, 0.49f));
  EXPECT_FALSE(peer.MajorityColourInFrame(stripes, Ranges{kBright}, 0.5f));

  // The five red columns that the single-range form cleans away are counted by the list form.
  EXPECT_TRUE(peer.MajorityColourInFrame(RedColumns(50, 55), Ranges{kRedSide}, 0.0f));
}

TEST_F(Appearance, ListFormCountsAPixelOncePerMatchingRange) {
  const cv::Mat image = RedColumns(0, 60);  // 60 % red

  EXPECT_TRUE(peer.MajorityColourInFrame(image, Ranges{kRedSide}, 0.59f));
  EXPECT_FALSE(peer.MajorityColourInFrame(image, Ranges{kRedSide}, 0.6f));
  // The same range twice: share 1.2.
  EXPECT_TRUE(peer.MajorityColourInFrame(image, Ranges{kRedSide, kRedSide}, 1.0f));
  EXPECT_FALSE(peer.MajorityColourInFrame(image, Ranges{kRedSide, kRedSide}, 1.2f));
}

TEST_F(Appearance, ListFormWithoutRangesHasShareZero) {
  const cv::Mat red(100, 100, CV_8UC3, kRed);
  EXPECT_FALSE(peer.MajorityColourInFrame(red, Ranges{}, 0.0f));
  EXPECT_FALSE(peer.MajorityColourInFrame(red, Ranges{}, 0.5f));
  // The list form has no bounds on the ratio.
  EXPECT_TRUE(peer.MajorityColourInFrame(red, Ranges{}, -0.5f));
}

TEST_F(Appearance, MajorityColourFailuresCountAsNo) {
  const cv::Mat grey(100, 100, CV_8UC1, cv::Scalar(255));
  const Range any{cv::Scalar(0, 0, 0, 0), cv::Scalar(255, 255, 255, 0)};
  for (const cv::Mat& image : {cv::Mat(), grey}) {
    SCOPED_TRACE(image.empty() ? "empty" : "single channel");
    EXPECT_FALSE(peer.MajorityColourInFrame(image, any, -1.0f));
    EXPECT_FALSE(peer.MajorityColourInFrame(image, Ranges{any}, -1.0f));
  }
}

TEST_F(Appearance, ReflectionNeedsMoreThan5000EdgePixels) {
  // A black-white step down the whole height gives one edge pixel per row.
  const auto step = [](int rows) {
    cv::Mat image(rows, 20, CV_8UC3, cv::Scalar::all(0));
    image.colRange(10, 20).setTo(cv::Scalar::all(255));
    return image;
  };
  const struct {
    int rows;
    bool reflection;
  } cases[] = {{100, false}, {5000, false}, {5001, true}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.rows);
    const cv::Mat image = step(c.rows);
    cv::Mat grey;
    cv::cvtColor(image, grey, cv::COLOR_BGR2GRAY);
    cv::Mat edges;
    cv::Canny(grey, edges, 50, 150, 3, false);
    ASSERT_EQ(cv::countNonZero(edges), c.rows);

    EXPECT_EQ(peer.detectReflection(image), c.reflection);
  }
  EXPECT_FALSE(peer.detectReflection(cv::Mat(6000, 20, CV_8UC3, cv::Scalar::all(128))));
}

TEST_F(Appearance, ReflectionLetsOpenCvFailuresThrough) {
  EXPECT_THROW(peer.detectReflection(cv::Mat()), cv::Exception);
}

// A small grey frame whose mean brightness is `mean` to within 5e-5.
cv::Mat FrameWithMean(double mean) {
  constexpr int kSide = 100;
  const int base = static_cast<int>(std::floor(mean));
  const int brighter = static_cast<int>(std::lround((mean - base) * kSide * kSide));
  cv::Mat frame(kSide, kSide, CV_8UC3, cv::Scalar::all(base));
  for (int i = 0; i < brighter; ++i) {
    frame.at<cv::Vec3b>(i / kSide, i % kSide) = cv::Vec3b::all(static_cast<uchar>(base + 1));
  }
  return frame;
}

std::vector<cv::Mat> Frames(const std::vector<double>& means) {
  std::vector<cv::Mat> frames;
  for (const double mean : means) {
    frames.push_back(FrameWithMean(mean));
  }
  return frames;
}

// 100 + a cos(2 pi k t / n) + b sin(2 pi k t / n): the transform's coefficient k has real
// part a n / 2 and imaginary part -b n / 2, the others (but the mean) are 0.
std::vector<double> Wave(int n, int k, double a, double b) {
  std::vector<double> means;
  for (int t = 0; t < n; ++t) {
    const double phase = 2.0 * CV_PI * k * t / n;
    means.push_back(100.0 + a * std::cos(phase) + b * std::sin(phase));
  }
  return means;
}

// One flash of brightness `height` over darkness: every coefficient is exactly `height`.
std::vector<double> Flash(int n, double height) {
  std::vector<double> means(static_cast<std::size_t>(n), 0.0);
  means[0] = height;
  return means;
}

TEST_F(Appearance, ScreenFlickerLooksForPackedLowFrequencyValuesBetween50And70) {
  const struct {
    const char* name;
    std::vector<double> means;
    bool flicker;
  } cases[] = {
      {"steady", std::vector<double>(10, 120.0), false},
      {"flash 60", Flash(10, 60), true},
      {"flash 51", Flash(10, 51), true},
      {"flash 69", Flash(10, 69), true},
      {"flash 50", Flash(10, 50), false},  // both bounds excluded
      {"flash 70", Flash(10, 70), false},
      {"real part 60 at row 1", Wave(10, 1, 12, 0), true},
      {"real part -60 at row 1", Wave(10, 1, -12, 0), true},
      {"imaginary part -60 at row 2", Wave(10, 1, 0, 12), true},
      {"imaginary part -60 at row 4", Wave(10, 2, 0, 12), true},
      // Parts 40 and -40: a magnitude of 56.6 is not what is compared.
      {"parts 40 and -40 at rows 1 and 2", Wave(10, 1, 8, 8), false},
      // Row 5 of 10 is past the rows read (1 to 10 / 2 - 1).
      {"real part 60 at row 5 of 10", Wave(10, 3, 12, 0), false},
      {"real part 60 at row 5 of 12", Wave(12, 3, 10, 0), true},
      {"real part 100 at row 1", Wave(10, 1, 20, 0), false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(peer.detectScreenFlicker(Frames(c.means)), c.flicker);
  }
}

TEST_F(Appearance, ScreenFlickerNeedsTenFrames) {
  std::vector<double> means = Flash(10, 60);
  means.pop_back();
  EXPECT_FALSE(peer.detectScreenFlicker(Frames(means)));
  // Too few frames are not even looked at.
  EXPECT_FALSE(peer.detectScreenFlicker(std::vector<cv::Mat>(9)));
  EXPECT_FALSE(peer.detectScreenFlicker({}));
}

TEST_F(Appearance, ScreenFlickerLetsOpenCvFailuresThrough) {
  std::vector<cv::Mat> frames = Frames(std::vector<double>(10, 100.0));
  frames[4] = cv::Mat();
  EXPECT_THROW(peer.detectScreenFlicker(frames), cv::Exception);
}

}  // namespace
