#include "platform/tevlib/builtin/people_hog_engine.h"

#include "platform/tevlib/bgr_image.h"
#include "platform/tevlib/class_names.h"

namespace tevlib {
namespace {

constexpr int kPersonClass = 0;

}  // namespace

PeopleHogEngine::PeopleHogEngine(const ModelSettings& settings)
    : _settings(settings), _className(ClassName(settings.classNames, kPersonClass, "person")) {
  _hog.setSVMDetector(cv::HOGDescriptor::getDefaultPeopleDetector());
}

std::vector<KESTROVIA::Object> PeopleHogEngine::Run(const cv::Mat& image,
                                                    const std::string& cameraId) {
  std::vector<KESTROVIA::Object> detections;
  if (image.cols < _hog.winSize.width || image.rows < _hog.winSize.height) {
    return detections;
  }
  std::vector<cv::Rect> found;
  std::vector<double> weights;
  _hog.detectMultiScale(AsBgr(image), found, weights);
  const cv::Rect bounds(0, 0, image.cols, image.rows);
  for (std::size_t i = 0; i < found.size(); ++i) {
    const float confidence = static_cast<float>(weights[i] / (1.0 + weights[i]));
    const cv::Rect box = found[i] & bounds;
    if (confidence < _settings.confidenceThreshold || box.empty()) {
      continue;
    }
    KESTROVIA::Object detection;
    detection.classId = kPersonClass;
    detection.className = _className;
    detection.confidence = confidence;
    detection.box = box;
    detection.cameraId = cameraId;
    detections.push_back(std::move(detection));
  }
  return detections;
}

}  // namespace tevlib
