#include "platform/eval/raw_detector.h"

#include "platform/host/host_failure.h"

#include <algorithm>

namespace teveval {
namespace {

constexpr int kFireClass = 0;
constexpr int kSmokeClass = 2;
constexpr float kNmsThreshold = 0.5f;

}  // namespace

RawDetector::RawDetector(const std::string& models, float threshold)
    : _model(KESTROVIA::TEVLIB::Create()), _threshold(threshold) {
  std::string labelMap;
  // The threshold also goes to the library, so that engines that can skip weaker boxes do.
  if (_model->LoadModelFromFolder("", "detector", "detector.names", threshold, threshold,
                                  kNmsThreshold, 1, 0, 0, 0, models.c_str(), labelMap) != 1) {
    throw tevhost::HostFailure(tevhost::FailureKind::Module,
                               "the inference library cannot load the \"detector\" model of " +
                                   models + " for the raw mode (see the README's model folders)");
  }
}

std::vector<KESTROVIA::Object> RawDetector::Run(const cv::Mat& frame, const std::string& camera) {
  std::vector<KESTROVIA::Object> detections;
  _model->RunInference(frame, camera.c_str(), detections);
  detections.erase(std::remove_if(detections.begin(), detections.end(),
                                  [this](const KESTROVIA::Object& detection) {
                                    const bool fireOrSmoke = detection.classId == kFireClass ||
                                                             detection.classId == kSmokeClass;
                                    // Written so that a NaN score is never counted.
                                    return !(fireOrSmoke && detection.confidence >= _threshold);
                                  }),
                   detections.end());
  return detections;
}

}  // namespace teveval
