#include "platform/tevlib/onnx/onnx_engine.h"

#include "platform/tevlib/bgr_image.h"
#include "platform/tevlib/class_names.h"
#include "platform/tevlib/onnx/letterbox.h"
#include "platform/tevlib/onnx/onnx_input_size.h"

#include <opencv2/core/utils/logger.hpp>

#include <algorithm>

namespace tevlib {
namespace {

const cv::Size kDefaultInputSize(640, 640);

// OpenCV logs its own lines while failing to read or run a model; the load reports one
// line of its own instead.
class QuietOpenCvLog {
 public:
  QuietOpenCvLog()
      : _level(cv::utils::logging::setLogLevel(cv::utils::logging::LOG_LEVEL_SILENT)) {}
  ~QuietOpenCvLog() { cv::utils::logging::setLogLevel(_level); }
  QuietOpenCvLog(const QuietOpenCvLog&) = delete;
  QuietOpenCvLog& operator=(const QuietOpenCvLog&) = delete;

 private:
  cv::utils::logging::LogLevel _level;
};

// OpenCV's description of the failure on one line, with what to do about the usual cause.
std::string Explained(const cv::Exception& failure) {
  std::string text = failure.err;
  std::replace(text.begin(), text.end(), '\n', ' ');
  return text + " (this is OpenCV " CV_VERSION
                "; OpenCV 4.6 reads YOLOv5-style exports at opset 12, not YOLOv8 exports)";
}

}  // namespace

OnnxEngine::OnnxEngine(const std::filesystem::path& model, const ModelSettings& settings)
    : _settings(settings), _inputSize(DeclaredInputSize(model)) {
  if (_inputSize.empty()) {
    _inputSize = kDefaultInputSize;
  }
  const QuietOpenCvLog quiet;
  try {
    _net = cv::dnn::readNetFromONNX(model.string());
  } catch (const cv::Exception& failure) {
    throw ModelError("OpenCV's dnn module cannot read it: " + Explained(failure));
  }
  if (_net.empty()) {
    throw ModelError("the file holds no network");
  }
  cv::Mat output;
  try {
    output = Forward(cv::Mat(_inputSize, CV_8UC3, cv::Scalar::all(114)));
  } catch (const cv::Exception& failure) {
    throw ModelError("OpenCV's dnn module cannot run it on a " + std::to_string(_inputSize.width) +
                     " x " + std::to_string(_inputSize.height) + " input: " + Explained(failure));
  }
  _layout = LayoutOf(output);
}

cv::Mat OnnxEngine::Forward(const cv::Mat& input) {
  _net.setInput(cv::dnn::blobFromImage(input, 1.0 / 255.0, cv::Size(), cv::Scalar(), true, false));
  return _net.forward();
}

std::vector<KESTROVIA::Object> OnnxEngine::Run(const cv::Mat& image, const std::string& cameraId) {
  std::vector<KESTROVIA::Object> detections;
  if (image.empty()) {
    return detections;
  }
  const cv::Mat bgr = AsBgr(image);
  const Letterbox letterbox(bgr.size(), _inputSize);
  const cv::Mat output = Forward(letterbox.Apply(bgr));
  const cv::Rect2d bounds(0, 0, bgr.cols, bgr.rows);
  for (const Candidate& candidate :
       DecodeYolo(output, _layout, _settings.confidenceThreshold, _settings.nmsThreshold)) {
    const cv::Rect2d inImage = letterbox.ToImage(candidate.box) & bounds;
    const cv::Rect box(cv::Point(cvRound(inImage.x), cvRound(inImage.y)),
                       cv::Point(cvRound(inImage.br().x), cvRound(inImage.br().y)));
    if (box.empty()) {
      continue;
    }
    detections.push_back(MakeDetection(candidate.classId,
                                       ClassName(_settings.classNames, candidate.classId),
                                       candidate.score, box, cameraId));
  }
  return detections;
}

}  // namespace tevlib
