// Reading the output of a YOLO-style detection head: one row of attributes per candidate
// box (centre x, centre y, width, height in input pixels, then scores), in one of two
// layouts, told apart by shape (candidates always outnumber attributes):
//   [1, N, 5 + classes]  objectness, then class scores (YOLOv5 and its kin);
//                        a candidate's score is objectness times its best class score
//   [1, 4 + classes, N]  class scores only (YOLOv8 and later); the best class score
#pragma once

#include <opencv2/core.hpp>

#include <vector>

namespace tevlib {

enum class YoloLayout { Objectness, ScoresOnly };

// Throws ModelError when the output has neither layout.
YoloLayout LayoutOf(const cv::Mat& output);

struct Candidate {
  cv::Rect2d box;  // input pixels
  int classId = 0;
  float score = 0.0f;
};

// The candidates scoring at least threshold that survive non-maximum suppression within
// their class (a box goes when it overlaps a better one of its class by IoU above
// nmsThreshold), best first.
std::vector<Candidate> DecodeYolo(const cv::Mat& output, YoloLayout layout, float threshold,
                                  float nmsThreshold);

}  // namespace tevlib
