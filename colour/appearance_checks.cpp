// Appearance tests beside the pipeline: majority colour, reflection, screen flicker.
//
// Pure functions of their arguments; they read no member and change nothing.
// MajorityColourInFrame (one range) blurs and cleans before counting; the list form counts
// the raw pixels per range, so a pixel in two ranges counts twice. Both absorb OpenCV
// failures as false. detectReflection counts edge pixels; detectScreenFlicker looks for a
// strong low-frequency component in the mean brightness of a frame sequence. Those two let
// OpenCV failures through to the caller.
#include "detector/TEVCustomFS.h"

#include <opencv2/imgproc.hpp>

#include <cmath>

namespace {

constexpr int kReflectionEdgePixels = 5000;
constexpr std::size_t kFlickerMinFrames = 10;
constexpr double kFlickerLow = 50.0;
constexpr double kFlickerHigh = 70.0;

}  // namespace

bool TEVCustomFS::MajorityColourInFrame(cv::Mat image, ColourRange range, float ratio) const {
  try {
    cv::Mat blurred;
    cv::GaussianBlur(image, blurred, cv::Size(21, 21), 0, 0, cv::BORDER_DEFAULT);
    cv::Mat hsv;
    cv::cvtColor(blurred, hsv, cv::COLOR_BGR2HSV);
    cv::Mat mask;
    cv::inRange(hsv, range.first, range.second, mask);
    cv::erode(mask, mask, cv::Mat(), cv::Point(-1, -1), 2, cv::BORDER_CONSTANT,
              cv::morphologyDefaultBorderValue());
    cv::dilate(mask, mask, cv::Mat(), cv::Point(-1, -1), 2, cv::BORDER_CONSTANT,
               cv::morphologyDefaultBorderValue());
    const float share = static_cast<float>(cv::countNonZero(mask)) /
                        (static_cast<float>(image.cols) * static_cast<float>(image.rows));
    return share > ratio;
  } catch (const cv::Exception&) {
    return false;
  }
}

bool TEVCustomFS::MajorityColourInFrame(cv::Mat image, std::vector<ColourRange> ranges,
                                        float ratio) const {
  try {
    cv::Mat hsv;
    cv::cvtColor(image, hsv, cv::COLOR_BGR2HSV);
    int sum = 0;
    cv::Mat mask;
    for (const ColourRange& range : ranges) {
      cv::inRange(hsv, range.first, range.second, mask);
      sum += cv::countNonZero(mask);
    }
    const float share =
        static_cast<float>(sum) / (static_cast<float>(image.cols) * static_cast<float>(image.rows));
    return share > ratio;
  } catch (const cv::Exception&) {
    return false;
  }
}

bool TEVCustomFS::detectReflection(const cv::Mat& image) const {
  cv::Mat grey;
  cv::cvtColor(image, grey, cv::COLOR_BGR2GRAY);
  cv::Mat edges;
  cv::Canny(grey, edges, 50, 150, 3, false);
  return cv::countNonZero(edges) > kReflectionEdgePixels;
}

bool TEVCustomFS::detectScreenFlicker(const std::vector<cv::Mat>& frames) const {
  if (frames.size() < kFlickerMinFrames) {
    return false;
  }
  std::vector<double> brightness;
  brightness.reserve(frames.size());
  cv::Mat grey;
  for (const cv::Mat& frame : frames) {
    cv::cvtColor(frame, grey, cv::COLOR_BGR2GRAY);
    brightness.push_back(cv::mean(grey)[0]);
  }

  const cv::Mat series(static_cast<int>(brightness.size()), 1, CV_64F, brightness.data());
  cv::Mat spectrum;
  cv::dft(series, spectrum, cv::DFT_REAL_OUTPUT);
  // Packed real layout: rows 1, 2, ... hold the real and imaginary parts of the lowest
  // frequencies in turn.
  const int half = spectrum.rows / 2;
  for (int i = 1; i < half; ++i) {
    const double value = std::abs(spectrum.at<double>(i, 0));
    if (value > kFlickerLow && value < kFlickerHigh) {
      return true;
    }
  }
  return false;
}
