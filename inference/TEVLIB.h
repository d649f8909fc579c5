// The inference library's class as the module uses it. One instance runs one model.
// Instances are made by Create and freed by Destroy only.
#pragma once

#include "inference/tevlib_export.h"
#include "interface/Object.h"

#include <opencv2/core.hpp>

#include <string>
#include <vector>

namespace KESTROVIA {

class TEVLIB_API TEVLIB {
 public:
  static TEVLIB* Create();
  static void Destroy(TEVLIB* instance);

  // 1 means an NVIDIA GPU (TensorRT); any other value means CPU.
  int GetEngineType();

  // Loads modelName from folder; 1 means loaded. labelMap receives the class labels.
  int LoadModelFromFolder(const char* modelPath, const char* modelName, const char* classNamesFile,
                          float confThreshold, float scoreThreshold, float nmsThreshold,
                          int batchSize, int modelType, int detectionType, int loadEngineOnCreate,
                          const char* folder, std::string& labelMap);

  // SetTracker(0, 1) turns on ByteTrack; 1 means enabled.
  int SetTracker(int trackerType, int enable);

  // 1 means success.
  int Optimize(bool optimize);

  // Runs the model on image (usually a view into a larger frame). results receives the
  // detections, boxes in the pixels of image.
  int RunInference(cv::Mat image, const char* cameraId, std::vector<Object>& results);

 protected:
  TEVLIB() = default;
  ~TEVLIB() = default;
  TEVLIB(const TEVLIB&) = delete;
  TEVLIB& operator=(const TEVLIB&) = delete;
};

}  // namespace KESTROVIA
