// Colour verification of candidate boxes and the class, score and size gates.
//
// DetectFireNSmokeColourInFrame takes a box in frame pixels, widens it by a margin, and
// says whether the share of the widened region whose (blurred, cleaned) HSV colour lies in
// one of the given ranges exceeds a ratio. It reads the frame through a view and never
// writes to it; an OpenCV failure counts as a failed test. IsFireDetected and
// IsSmokeDetected apply it with the fire and smoke ranges. IsFireOrSmoke and
// IsObjectLargeEnough are the gates every model detection passes. Nothing here changes a
// member.
#include "detector/TEVCustomFS.h"

#include <opencv2/imgproc.hpp>

#include <algorithm>

namespace {

constexpr int kRegionMargin = 20;  // the surroundings of a fire are bright as well
constexpr float kSmokeColourRatio = 0.9f;
constexpr int kFireClass = 0;
constexpr int kSmokeClass = 2;

}  // namespace

bool TEVCustomFS::DetectFireNSmokeColourInFrame(const cv::Mat& frame, const cv::Rect& box,
                                                const std::vector<ColourRange>& ranges,
                                                float ratio) const {
  if (frame.empty() || ranges.empty() || ratio < 0.0f || ratio > 1.0f) {
    return false;
  }
  const int left = std::max(box.x - kRegionMargin, 0);
  const int top = std::max(box.y - kRegionMargin, 0);
  const int right = std::min(box.x + box.width + kRegionMargin, frame.cols);
  const int bottom = std::min(box.y + box.height + kRegionMargin, frame.rows);
  const int width = right - left;
  const int height = bottom - top;
  if (width <= 0 || height <= 0) {
    return false;
  }

  try {
    // Built once for the whole process; only read afterwards.
    static const cv::Mat element =
        cv::getStructuringElement(cv::MORPH_RECT, cv::Size(5, 5), cv::Point(-1, -1));

    // A view: the blur reads the frame's own pixels around the region, not reflections.
    const cv::Mat region = frame(cv::Rect(left, top, width, height));
    cv::Mat blurred;
    cv::GaussianBlur(region, blurred, cv::Size(21, 21), 0, 0, cv::BORDER_DEFAULT);
    cv::Mat hsv;
    cv::cvtColor(blurred, hsv, cv::COLOR_BGR2HSV);

    // The first range writes the mask; any further ones are ORed in.
    cv::Mat mask;
    cv::inRange(hsv, ranges.front().first, ranges.front().second, mask);
    cv::Mat hits;
    for (std::size_t index = 1; index < ranges.size(); ++index) {
      cv::inRange(hsv, ranges[index].first, ranges[index].second, hits);
      cv::bitwise_or(mask, hits, mask);
    }
    // Close small holes, then drop specks smaller than the element.
    cv::morphologyEx(mask, mask, cv::MORPH_CLOSE, element, cv::Point(-1, -1), 1,
                     cv::BORDER_CONSTANT, cv::morphologyDefaultBorderValue());
    cv::morphologyEx(mask, mask, cv::MORPH_OPEN, element, cv::Point(-1, -1), 1, cv::BORDER_CONSTANT,
                     cv::morphologyDefaultBorderValue());

    const float share =
        static_cast<float>(cv::countNonZero(mask)) / static_cast<float>(width * height);
    return share > ratio;
  } catch (const cv::Exception&) {
    return false;
  }
}

bool TEVCustomFS::IsFireDetected(cv::Mat frame, cv::Rect box) const {
  return DetectFireNSmokeColourInFrame(frame, box, _fireColourRanges,
                                       static_cast<float>(_fireColourRatio));
}

bool TEVCustomFS::IsSmokeDetected(cv::Mat frame, cv::Rect box) const {
  return DetectFireNSmokeColourInFrame(frame, box, _smokeColourRanges, kSmokeColourRatio);
}

bool TEVCustomFS::IsFireOrSmoke(int classId, float score) const {
  if (classId == kFireClass) {
    return true;
  }
  if (classId == kSmokeClass) {
    // The fixed default, not the "SmokeScore" setting: the search keeps its own bar.
    return score >= _defaultSmokeScore;
  }
  return false;
}

bool TEVCustomFS::IsObjectLargeEnough(const cv::Rect& box, const cv::Size& frameSize) const {
  const double frameArea =
      static_cast<double>(frameSize.height) * static_cast<double>(frameSize.width);
  if (frameArea <= 0.0) {
    return true;
  }
  const double boxArea =
      static_cast<double>(std::max(box.width, 0)) * static_cast<double>(std::max(box.height, 0));
  return boxArea / frameArea >= static_cast<double>(_minObjectRatio);
}
