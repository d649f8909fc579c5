// The built-in model "people-hog": OpenCV's HOG people detector (the default people SVM,
// 64 x 128 window, several scales) with one class, 0 "person". The SVM's weight w of a
// detection becomes its confidence w / (1 + w) (weight 1 scores 0.5); detections below the
// load's confidence threshold are dropped. Images smaller than the window find nothing.
//
// A standing flame has the outline HOG looks for, and as a filter a person window on a
// flame would veto the fire itself: a window more than kMaxFlameShare of whose pixels have
// flame colour (fire_colour_mask.h) is not taken for a person. That also keeps someone
// standing at a fire, or dressed in flame colours, from vetoing it: a fire missed costs more
// than a false alarm this filter might have stopped.
#pragma once

#include "platform/tevlib/engine.h"

#include <opencv2/objdetect.hpp>

#include <string>

namespace tevlib {

class PeopleHogEngine final : public Engine {
 public:
  static constexpr double kMaxFlameShare = 0.1;

  explicit PeopleHogEngine(const ModelSettings& settings);

  std::vector<KESTROVIA::Object> Run(const cv::Mat& image, const std::string& cameraId) override;

 private:
  float _confidenceThreshold;  // weaker detections are dropped
  std::string _className;
  cv::HOGDescriptor _hog;
};

}  // namespace tevlib
