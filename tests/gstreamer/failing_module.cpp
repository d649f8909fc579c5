// A detection module for the element's tests that misbehaves the way a module the host cannot
// trust might: its RunInference throws on its first two calls, and on every call after
// reports a fire in the frame, a smoke that reaches beyond a 322 x 240 frame and a fire
// outside it. Every call also writes a console line on standard output, and one on standard
// error when it throws, each in several pieces, as a chatty module does. Loaded by
// tevfiresmoke through its "module" property, like the real one.
#include "interface/TEVCustomModule.h"

#include <iostream>
#include <stdexcept>

namespace {

CustomObject Detection(int classId, float confidence, const cv::Rect& box,
                       const std::string& cameraId) {
  CustomObject detection;
  detection.classId = classId;
  detection.className = classId == 0 ? "fire" : "smoke";
  detection.confidence = confidence;
  detection.box = box;
  detection.cameraId = cameraId;
  return detection;
}

class FailingDetector final : public ITEVCustomClass {
 public:
  bool Initialize(const std::string&, float, std::string&) override { return true; }
  bool OptimizeModel(bool) override { return true; }
  std::vector<CustomObject> RunInference(const cv::Mat&, const std::string& cameraId) override {
    std::cout << "failing module: call " << _calls << " on " << cameraId << std::endl;
    if (_calls++ < 2) {
      std::cerr << "failing module: call " << _calls - 1 << " on " << cameraId << " throws"
                << std::endl;
      throw std::runtime_error("the model ran out of memory");
    }
    return {Detection(0, 0.9f, {100, 80, 40, 40}, cameraId),
            Detection(2, 0.8f, {300, 200, 40, 60}, cameraId),
            Detection(0, 0.7f, {400, 10, 20, 20}, cameraId)};
  }
  std::vector<CustomObject> RunInference(const cv::Mat& frame) override {
    return RunInference(frame, "CustomCam");
  }
  bool ConfigureParameters(CustomParams& params) override {
    params = CustomParams();
    return true;
  }
  bool Destroy() override { return true; }

 private:
  int _calls = 0;
};

}  // namespace

extern "C" {

TEV_MODULE_API ITEVCustomClass* Create() {
  return new FailingDetector();
}

TEV_MODULE_API void Release(ITEVCustomClass* object) {
  delete static_cast<FailingDetector*>(object);
}

}  // extern "C"
