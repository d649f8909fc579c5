#include "platform/tevlib/onnx/yolo_output.h"

#include "platform/tevlib/engine.h"

#include <opencv2/dnn.hpp>

#include <algorithm>
#include <map>
#include <string>

namespace tevlib {
namespace {

std::string ShapeText(const cv::Mat& output) {
  std::string text = "[";
  for (int d = 0; d < output.dims; ++d) {
    text += (d == 0 ? "" : ", ") + std::to_string(output.size[d]);
  }
  return text + "]";
}

// One row per candidate, one column per attribute.
// Shares the output's buffer when it already is continuous 32-bit float, as dnn's outputs are.
cv::Mat Rows(const cv::Mat& output, YoloLayout layout) {
  cv::Mat values = output;
  if (values.depth() != CV_32F || !values.isContinuous()) {
    output.convertTo(values, CV_32F);
  }
  const cv::Mat plane = values.reshape(1, output.size[1]);
  if (layout == YoloLayout::Objectness) {
    return plane;
  }
  return plane.t();
}

}  // namespace

YoloLayout LayoutOf(const cv::Mat& output) {
  if (output.dims == 3 && output.size[0] == 1) {
    const int first = output.size[1];
    const int second = output.size[2];
    if (first >= second && second >= 6) {
      return YoloLayout::Objectness;
    }
    if (first < second && first >= 5) {
      return YoloLayout::ScoresOnly;
    }
  }
  throw ModelError("its output of shape " + ShapeText(output) +
                   " is neither [1, N, 5 + classes] nor [1, 4 + classes, N]");
}

std::vector<Candidate> DecodeYolo(const cv::Mat& output, YoloLayout layout, float threshold,
                                  float nmsThreshold) {
  const cv::Mat rows = Rows(output, layout);
  const int firstClass = layout == YoloLayout::Objectness ? 5 : 4;

  // Per class, the candidates over the threshold.
  std::map<int, std::vector<Candidate>> byClass;
  for (int r = 0; r < rows.rows; ++r) {
    const float* row = rows.ptr<float>(r);
    const float* best = std::max_element(row + firstClass, row + rows.cols);
    const float score = layout == YoloLayout::Objectness ? row[4] * *best : *best;
    if (!(score >= threshold)) {
      continue;
    }
    const int classId = static_cast<int>(best - row - firstClass);
    const cv::Rect2d box(row[0] - row[2] / 2.0, row[1] - row[3] / 2.0, row[2], row[3]);
    byClass[classId].push_back({box, classId, score});
  }

  std::vector<Candidate> kept;
  for (const auto& [classId, candidates] : byClass) {
    std::vector<cv::Rect2d> boxes;
    std::vector<float> scores;
    for (const Candidate& candidate : candidates) {
      boxes.push_back(candidate.box);
      scores.push_back(candidate.score);
    }
    std::vector<int> indices;
    // Already filtered by score (NMSBoxes would also drop a score equal to its threshold).
    cv::dnn::NMSBoxes(boxes, scores, 0.0f, nmsThreshold, indices);
    for (int index : indices) {
      kept.push_back(candidates[static_cast<std::size_t>(index)]);
    }
  }
  std::stable_sort(kept.begin(), kept.end(),
                   [](const Candidate& a, const Candidate& b) { return a.score > b.score; });
  return kept;
}

}  // namespace tevlib
