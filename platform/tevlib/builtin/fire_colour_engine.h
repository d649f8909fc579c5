// The built-in model "fire-colour": a classical flame detector with one class, 0 "fire".
//
// Flame-coloured regions (fire_colour_mask.h) of at least 1/4000 of the image (and 16
// pixels) become boxes. Each box scores in 0..1 as  colour * (0.3 + 0.7 * change), where
//   colour = (fill + red) / 2: the region's share of its box and its mean red level / 255;
//   change = the box's mean grey-level change since this camera last saw that place
//            (brightness_memory.h), mapped from 2..20 levels onto 0..1.
// So a still orange surface stays below 0.3 and a flickering flame goes above 0.5.
// Detections scoring below the load's confidence threshold are dropped.
#pragma once

#include "platform/tevlib/builtin/brightness_memory.h"
#include "platform/tevlib/engine.h"

#include <map>
#include <string>

namespace tevlib {

class FireColourEngine final : public Engine {
 public:
  explicit FireColourEngine(const ModelSettings& settings);

  std::vector<KESTROVIA::Object> Run(const cv::Mat& image, const std::string& cameraId) override;

 private:
  float _confidenceThreshold;  // weaker detections are dropped
  std::string _className;
  std::map<std::string, BrightnessMemory> _memories;  // per camera
};

}  // namespace tevlib
