#include "platform/tevlib/builtin/fire_colour_engine.h"

#include "platform/tevlib/bgr_image.h"
#include "platform/tevlib/builtin/fire_colour_mask.h"
#include "platform/tevlib/class_names.h"

#include <opencv2/imgproc.hpp>

#include <algorithm>

namespace tevlib {
namespace {

constexpr int kFireClass = 0;
constexpr int kSmallestArea = 16;
constexpr int kAreaShare = 4000;  // smallest region: this share of the image
constexpr double kStillChange = 2.0;
constexpr double kFullChange = 20.0;

double ChangeEvidence(double meanChange) {
  return std::clamp((meanChange - kStillChange) / (kFullChange - kStillChange), 0.0, 1.0);
}

}  // namespace

FireColourEngine::FireColourEngine(const ModelSettings& settings)
    : _confidenceThreshold(settings.confidenceThreshold),
      _className(ClassName(settings.classNames, kFireClass, "fire")) {}

std::vector<KESTROVIA::Object> FireColourEngine::Run(const cv::Mat& image,
                                                     const std::string& cameraId) {
  std::vector<KESTROVIA::Object> detections;
  if (image.empty()) {
    return detections;
  }
  const cv::Mat bgr = AsBgr(image);
  const ViewPlacement placement = LocateView(image);
  cv::Mat grey;
  cv::cvtColor(bgr, grey, cv::COLOR_BGR2GRAY);
  BrightnessMemory& memory = _memories[cameraId];

  cv::Mat labels;
  cv::Mat stats;
  cv::Mat centroids;
  const int count =
      cv::connectedComponentsWithStats(FireColourMask(bgr), labels, stats, centroids, 8, CV_32S);
  const int smallest = std::max(kSmallestArea, bgr.cols * bgr.rows / kAreaShare);
  for (int label = 1; label < count; ++label) {
    const int area = stats.at<int>(label, cv::CC_STAT_AREA);
    if (area < smallest) {
      continue;
    }
    const cv::Rect box(
        stats.at<int>(label, cv::CC_STAT_LEFT), stats.at<int>(label, cv::CC_STAT_TOP),
        stats.at<int>(label, cv::CC_STAT_WIDTH), stats.at<int>(label, cv::CC_STAT_HEIGHT));
    const double fill = static_cast<double>(area) / box.area();
    const double red = cv::mean(bgr(box), labels(box) == label)[2] / 255.0;
    const double colour = (fill + red) / 2.0;
    const double change = ChangeEvidence(memory.MeanChange(grey, placement, box));
    const float score = static_cast<float>(colour * (0.3 + 0.7 * change));
    if (score < _confidenceThreshold) {
      continue;
    }
    detections.push_back(MakeDetection(kFireClass, _className, score, box, cameraId));
  }
  memory.Remember(grey, placement);
  return detections;
}

}  // namespace tevlib
