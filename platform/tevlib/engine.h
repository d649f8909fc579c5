// One loaded model inside an instance of the stand-in library, and what a load hands it.
#pragma once

#include "interface/Object.h"

#include <opencv2/core.hpp>

#include <stdexcept>
#include <string>
#include <vector>

namespace tevlib {

// The arguments of LoadModelFromFolder that reach the model.
struct ModelSettings {
  std::vector<std::string> classNames;  // from the class names file; may be empty
  float confidenceThreshold = 0.0f;     // first float argument: weakest detection reported
  float nmsThreshold = 0.0f;            // third float argument: IoU above which boxes merge
};

// A model file that is there but cannot be used. The loader reports it with one line on
// stderr naming the file.
class ModelError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// A detection as every engine reports it.
KESTROVIA::Object MakeDetection(int classId, std::string className, float confidence,
                                const cv::Rect& box, const std::string& cameraId);

class Engine {
 public:
  // Who gives the detections their trackId once SetTracker(0, 1) has turned tracking on.
  enum class TrackIds {
    Refused,    // tracking cannot be turned on for this model
    OwnIds,     // the engine writes its own ids
    ByteTrack,  // the library's tracker assigns them (camera_trackers.h)
  };

  virtual ~Engine() = default;

  // Detections of the model on image, boxes in the pixels of image.
  virtual std::vector<KESTROVIA::Object> Run(const cv::Mat& image, const std::string& cameraId) = 0;

  // The result of TEVLIB::Optimize: 1 on success. Engines on the CPU have nothing to do.
  virtual int Optimize(bool /*optimize*/) { return 1; }

  virtual TrackIds TrackIdSource() const { return TrackIds::ByteTrack; }
};

}  // namespace tevlib
