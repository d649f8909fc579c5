// A YOLO-style detector in ONNX format, run on the CPU by OpenCV's dnn module.
//
// Load: cv::dnn::readNetFromONNX, then one run on a grey input to learn the output's
// layout (yolo_output.h); a model that OpenCV cannot read or run, or whose output has
// neither layout, is a ModelError quoting OpenCV's message. The input size is the one the
// model declares (onnx_input_size.h), 640 x 640 when it declares none.
//
// Run: the image is letterboxed into the input (letterbox.h), scaled by 1/255 and turned
// from BGR into RGB. Of the load's thresholds, the first float argument of
// LoadModelFromFolder is the confidence threshold (weakest score reported) and the third is
// the IoU threshold of the class-aware non-maximum suppression; the second is not used.
// Boxes come back in the image's pixels, clipped to it, best score first, named from the
// class names file.
#pragma once

#include "platform/tevlib/engine.h"
#include "platform/tevlib/onnx/yolo_output.h"

#include <opencv2/dnn.hpp>

#include <filesystem>

namespace tevlib {

class OnnxEngine final : public Engine {
 public:
  // Throws ModelError when the model cannot be used.
  OnnxEngine(const std::filesystem::path& model, const ModelSettings& settings);

  std::vector<KESTROVIA::Object> Run(const cv::Mat& image, const std::string& cameraId) override;

 private:
  cv::Mat Forward(const cv::Mat& input);

  ModelSettings _settings;
  cv::dnn::Net _net;
  cv::Size _inputSize;
  YoloLayout _layout = YoloLayout::Objectness;
};

}  // namespace tevlib
