#include "platform/tevlib/engine.h"

#include <utility>

namespace tevlib {

KESTROVIA::Object MakeDetection(int classId, std::string className, float confidence,
                                const cv::Rect& box, const std::string& cameraId) {
  KESTROVIA::Object detection;
  detection.classId = classId;
  detection.className = std::move(className);
  detection.confidence = confidence;
  detection.box = box;
  detection.cameraId = cameraId;
  return detection;
}

}  // namespace tevlib
