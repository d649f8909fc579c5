// The baseline the module must beat: the model folder's "detector" model run directly
// through the inference library on every whole frame, every fire or smoke detection at or
// above the threshold taken as it comes - no search, no tracking, no votes, no filter.
#pragma once

#include "inference/TEVLIB.h"

#include <memory>
#include <string>
#include <vector>

namespace teveval {

class RawDetector {
 public:
  // Throws HostFailure (Module) when the folder holds no "detector" model the library
  // can load.
  RawDetector(const std::string& models, float threshold);

  // The fire (class 0) and smoke (class 2) detections of the whole frame that score at
  // least the threshold; camera is handed to the library.
  std::vector<KESTROVIA::Object> Run(const cv::Mat& frame, const std::string& camera);

 private:
  struct Destroy {
    void operator()(KESTROVIA::TEVLIB* model) const { KESTROVIA::TEVLIB::Destroy(model); }
  };

  std::unique_ptr<KESTROVIA::TEVLIB, Destroy> _model;
  float _threshold;
};

}  // namespace teveval
