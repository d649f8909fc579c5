// One loaded model inside an instance of the stand-in library.
#pragma once

#include "interface/Object.h"

#include <opencv2/core.hpp>

#include <string>
#include <vector>

namespace tevlib {

class Engine {
 public:
  virtual ~Engine() = default;

  // Detections of the model on image, boxes in the pixels of image.
  virtual std::vector<KESTROVIA::Object> Run(const cv::Mat& image, const std::string& cameraId) = 0;

  // The result of TEVLIB::Optimize: 1 on success.
  virtual int Optimize(bool optimize) = 0;

  // Whether SetTracker(0, 1) may turn tracking on for this model.
  virtual bool AcceptsTracker() const = 0;
};

}  // namespace tevlib
