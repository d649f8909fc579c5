// One detection as the host receives it from RunInference. Same fields, order, types and
// defaults as KESTROVIA::Object, but a type of its own.
#pragma once

#include <opencv2/core.hpp>
#include <opencv2/core/cuda.hpp>

#include <cstdint>
#include <string>
#include <vector>

struct CustomObject {
  std::int32_t classId = 0;
  std::int32_t trackId = 0;
  std::string className;
  float confidence = 0.0f;
  cv::Rect box;  // frame pixels
  std::vector<cv::Point> polygon;
  cv::Mat mask;
  cv::cuda::GpuMat gpuMask{};
  std::vector<float> kps;
  std::string extraInfo;  // "Detection Score Threshold:<threshold>"
  std::string cameraId;
};
