// One detection as the inference library reports it. The layout is shared with the host
// and the inference library, which are compiled separately: field order, types and
// widths must not change.
#pragma once

#include <opencv2/core.hpp>
#include <opencv2/core/cuda.hpp>

#include <cstdint>
#include <string>
#include <vector>

namespace KESTROVIA {

struct Object {
  std::int32_t classId = 0;  // 0 fire, 2 smoke for the detector model
  std::int32_t trackId = 0;  // identity from the library's tracker
  std::string className;
  float confidence = 0.0f;         // 0 to 1
  cv::Rect box;                    // pixels of the image the detection came from
  std::vector<cv::Point> polygon;  // carried along, never read by the module
  cv::Mat mask;                    // shares pixels on copy
  cv::cuda::GpuMat gpuMask{};      // shares the device buffer on copy
  std::vector<float> kps;          // carried along, never read by the module
  std::string extraInfo;
  std::string cameraId;
};

}  // namespace KESTROVIA
