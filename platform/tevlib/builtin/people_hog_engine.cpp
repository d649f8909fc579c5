#include "platform/tevlib/builtin/people_hog_engine.h"

#include "platform/tevlib/bgr_image.h"
#include "platform/tevlib/builtin/fire_colour_mask.h"
#include "platform/tevlib/class_names.h"

#include <opencv2/core.hpp>

namespace tevlib {
namespace {

constexpr int kPersonClass = 0;

}  // namespace

PeopleHogEngine::PeopleHogEngine(const ModelSettings& settings)
    : _confidenceThreshold(settings.confidenceThreshold),
      _className(ClassName(settings.classNames, kPersonClass, "person")) {
  _hog.setSVMDetector(cv::HOGDescriptor::getDefaultPeopleDetector());
}

std::vector<KESTROVIA::Object> PeopleHogEngine::Run(const cv::Mat& image,
                                                    const std::string& cameraId) {
  std::vector<KESTROVIA::Object> detections;
  if (image.cols < _hog.winSize.width || image.rows < _hog.winSize.height) {
    return detections;
  }
  const cv::Mat bgr = AsBgr(image);
  std::vector<cv::Rect> found;
  std::vector<double> weights;
  _hog.detectMultiScale(bgr, found, weights);
  const cv::Rect bounds(0, 0, image.cols, image.rows);
  cv::Mat flame;  // made only when a window needs it
  for (std::size_t i = 0; i < found.size(); ++i) {
    const float confidence = static_cast<float>(weights[i] / (1.0 + weights[i]));
    const cv::Rect box = found[i] & bounds;
    if (confidence < _confidenceThreshold || box.empty()) {
      continue;
    }
    if (flame.empty()) {
      flame = FireColourMask(bgr);
    }
    if (cv::countNonZero(flame(box)) > kMaxFlameShare * box.area()) {
      continue;
    }
    detections.push_back(MakeDetection(kPersonClass, _className, confidence, box, cameraId));
  }
  return detections;
}

}  // namespace tevlib
