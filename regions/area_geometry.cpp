// Rectangle arithmetic of the followed area and the overlap tests.
//
// All members compute in int with halving that truncates towards zero; IoU is a float of
// int products and distances are doubles. Only RefineDetectedArea changes state: it sets
// _detectedArea to the square crop around a detection, kept inside the frame.
#include "detector/TEVCustomFS.h"

#include <algorithm>
#include <cmath>

int TEVCustomFS::CalculateOptimalCropSize(const cv::Mat& frame) const {
  const int largerSide = std::max(frame.cols, frame.rows);
  if (largerSide > 1920) {
    return 640;
  }
  if (largerSide > 1280) {
    return 480;
  }
  if (largerSide > 640) {
    return 320;
  }
  return 224;
}

void TEVCustomFS::RefineDetectedArea(const cv::Mat& frame, const KESTROVIA::Object& detection) {
  const int side = CalculateOptimalCropSize(frame);
  const int width = frame.cols;
  const int height = frame.rows;
  const cv::Rect& box = detection.box;

  // Centred on the detection, pushed back inside at the frame's edges rather than shrunk.
  const int x0 = box.x + box.width / 2 - side / 2;
  const int y0 = box.y + box.height / 2 - side / 2;
  int left = x0 > width - side ? width - side : (x0 < 0 ? 0 : x0);
  int top = y0 > height - side ? height - side : (y0 < 0 ? 0 : y0);
  // A frame narrower (or lower) than the crop side gets the whole of that axis instead: the
  // follow stage cuts the area out of the frame and needs it inside.
  left = std::max(left, 0);
  top = std::max(top, 0);
  _detectedArea = cv::Rect(left, top, std::min(width - left, side), std::min(height - top, side));
}

float TEVCustomFS::calculateIoU(const cv::Rect& a, const cv::Rect& b) const {
  const cv::Rect intersection = a & b;
  // Areas in 64 bits: the user's exclusive regions may be as large as an int allows.
  const long long intersectionArea =
      static_cast<long long>(intersection.width) * intersection.height;
  if (intersectionArea <= 0) {
    return 0.0f;
  }
  const long long unionArea = static_cast<long long>(a.width) * a.height +
                              static_cast<long long>(b.width) * b.height - intersectionArea;
  if (unionArea <= 0) {
    return 0.0f;
  }
  return static_cast<float>(intersectionArea) / static_cast<float>(unionArea);
}

bool TEVCustomFS::IsOverlapping(const KESTROVIA::Object& object,
                                const std::vector<KESTROVIA::Object>& others,
                                float threshold) const {
  return std::any_of(others.begin(), others.end(), [&](const KESTROVIA::Object& other) {
    return calculateIoU(object.box, other.box) > threshold;
  });
}

bool TEVCustomFS::IsOverlapping(const KESTROVIA::Object& object,
                                const std::vector<cv::Rect>& rectangles, float threshold) const {
  return IsROIOverlapping(object.box, rectangles, threshold);
}

bool TEVCustomFS::IsROIOverlapping(const cv::Rect& rectangle,
                                   const std::vector<cv::Rect>& rectangles, float threshold) const {
  return std::any_of(rectangles.begin(), rectangles.end(), [&](const cv::Rect& other) {
    return calculateIoU(rectangle, other) > threshold;
  });
}

bool TEVCustomFS::IsInsideRegion(const cv::Rect& box, const std::vector<cv::Rect>& regions,
                                 float threshold) const {
  if (box.width <= 0 || box.height <= 0) {
    return false;
  }
  const long long boxArea = static_cast<long long>(box.width) * box.height;
  return std::any_of(regions.begin(), regions.end(), [&](const cv::Rect& region) {
    const cv::Rect inside = box & region;
    const long long insideArea = static_cast<long long>(inside.width) * inside.height;
    return insideArea > 0 &&
           static_cast<double>(insideArea) > static_cast<double>(threshold) * boxArea;
  });
}

double TEVCustomFS::calculateDistanceToCenter(const cv::Point& point,
                                              const cv::Rect& rectangle) const {
  const int dx = rectangle.x + rectangle.width / 2 - point.x;
  const int dy = rectangle.y + rectangle.height / 2 - point.y;
  // Squared in double: the int squares could overflow for far-apart coordinates.
  const double ddx = dx;
  const double ddy = dy;
  return std::sqrt(ddx * ddx + ddy * ddy);
}

cv::Rect TEVCustomFS::GenerateMinimumSquareBoundingBox(
    const std::vector<KESTROVIA::Object>& objects, int minimumSide) const {
  if (objects.empty()) {
    return cv::Rect(0, 0, minimumSide, minimumSide);
  }
  int left = objects.front().box.x;
  int top = objects.front().box.y;
  int right = objects.front().box.x + objects.front().box.width;
  int bottom = objects.front().box.y + objects.front().box.height;
  for (const KESTROVIA::Object& object : objects) {
    left = std::min(left, object.box.x);
    top = std::min(top, object.box.y);
    right = std::max(right, object.box.x + object.box.width);
    bottom = std::max(bottom, object.box.y + object.box.height);
  }
  const int unionWidth = right - left;
  const int unionHeight = bottom - top;

  // A 10-pixel margin on every side; the 20 it adds counts towards the minimum side.
  constexpr int kMargin = 10;
  const int side = std::max({unionWidth, unionHeight, std::max(minimumSide - 2 * kMargin, 0)});
  return cv::Rect(left + unionWidth / 2 - side / 2 - kMargin,
                  top + unionHeight / 2 - side / 2 - kMargin, side + 2 * kMargin,
                  side + 2 * kMargin);
}
