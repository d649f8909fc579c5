#include "platform/host/annotation.h"

#include <opencv2/imgproc.hpp>

#include <cmath>
#include <cstdio>

namespace tevhost {
namespace {

const cv::Scalar kFireColour(0, 0, 255);
const cv::Scalar kSmokeColour(200, 200, 200);
const cv::Scalar kOtherColour(0, 220, 255);
const cv::Scalar kFollowColour(255, 200, 0);
const cv::Scalar kText(255, 255, 255);
const cv::Scalar kTextBackground(0, 0, 0);

cv::Scalar ClassColour(int classId) {
  switch (classId) {
    case 0:
      return kFireColour;
    case 2:
      return kSmokeColour;
    default:
      return kOtherColour;
  }
}

std::string Clock(double timestampMs) {
  const long total = std::lround(timestampMs);
  char text[32];
  std::snprintf(text, sizeof text, "%02ld:%02ld.%03ld", total / 60000, total / 1000 % 60,
                total % 1000);
  return text;
}

// Text on a dark band, so that it reads on any scene. Returns the band's height.
int Label(cv::Mat& image, const std::string& text, cv::Point origin, double scale,
          const cv::Scalar& colour) {
  const int thickness = std::max(1, cvRound(scale * 2));
  int baseline = 0;
  const cv::Size size =
      cv::getTextSize(text, cv::FONT_HERSHEY_SIMPLEX, scale, thickness, &baseline);
  const int margin = std::max(2, cvRound(6 * scale));
  const cv::Rect band(origin.x, origin.y, size.width + 2 * margin,
                      size.height + baseline + 2 * margin);
  cv::rectangle(image, band, kTextBackground, cv::FILLED);
  cv::putText(image, text, {origin.x + margin, origin.y + margin + size.height},
              cv::FONT_HERSHEY_SIMPLEX, scale, colour, thickness, cv::LINE_AA);
  return band.height;
}

}  // namespace

void SearchState::Update(const FrameReport& report) {
  if (report.detections.empty()) {
    _framesSinceDetection = std::min(_framesSinceDetection + 1, kFollowFrames);
    return;
  }
  _framesSinceDetection = 0;
  _area = report.detections.front().box;
  for (const CustomObject& detection : report.detections) {
    _area |= detection.box;
  }
}

void DrawAnnotation(cv::Mat& image, const FrameReport& report, const SearchState& state,
                    const std::string& camera) {
  const double scale = std::max(0.35, image.rows / 900.0);
  const int line = std::max(1, cvRound(scale * 3));

  if (state.Following()) {
    const cv::Rect area = state.Area();
    const cv::Rect around(area.x - area.width / 2, area.y - area.height / 2, area.width * 2,
                          area.height * 2);
    cv::rectangle(image, around, kFollowColour, line);
  }
  for (const CustomObject& detection : report.detections) {
    const cv::Scalar colour = ClassColour(detection.classId);
    cv::rectangle(image, detection.box, colour, line);
    char score[16];
    std::snprintf(score, sizeof score, " %.2f", detection.confidence);
    const std::string text =
        (detection.className.empty() ? std::to_string(detection.classId) : detection.className) +
        score;
    Label(image, text, {detection.box.x, std::max(0, detection.box.y - cvRound(34 * scale))},
          scale * 0.8, colour);
  }

  int y = 0;
  y += Label(image,
             camera + "  frame " + std::to_string(report.frame) + "  " + Clock(report.timestampMs),
             {0, y}, scale, kText);
  y += Label(image, state.Following() ? "following an area" : "searching tiles", {0, y}, scale,
             state.Following() ? kFollowColour : kText);
  if (report.alarm > 0) {
    Label(image, "ALARM " + std::to_string(report.alarm), {0, y}, scale, kFireColour);
    cv::rectangle(image, cv::Rect(0, 0, image.cols, image.rows), kFireColour, 2 * line);
  }
}

cv::Mat Annotate(const cv::Mat& frame, const FrameReport& report, const SearchState& state,
                 const std::string& camera) {
  cv::Mat image = frame.clone();
  DrawAnnotation(image, report, state, camera);
  return image;
}

}  // namespace tevhost
