// Fuzz target: any bytes as a script of the stand-in inference library's scripted engine,
// loaded and run on a few views.
#include "inference/TEVLIB.h"
#include "tests/fuzz/fuzz_support.h"

#include <cstdint>

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  tevfuzz::SilenceConsole();
  tevfuzz::Folder().WriteNames("detector", {"fire", "other", "smoke"});
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  tevfuzz::Folder().WriteFile("detector.script.json",
                              std::string(reinterpret_cast<const char*>(data), size));
  KESTROVIA::TEVLIB* instance = KESTROVIA::TEVLIB::Create();
  std::string labelMap;
  try {
    if (instance->LoadModelFromFolder("", "detector", "detector.names", 0.25f, 0.25f, 0.5f, 1, 30,
                                      1, 0, tevfuzz::Folder().Path().c_str(), labelMap) == 1) {
      instance->SetTracker(0, 1);
      instance->Optimize(true);
      const cv::Mat frame(90, 120, CV_8UC3, cv::Scalar::all(0));
      const cv::Rect views[] = {{0, 0, 120, 90}, {30, 20, 50, 40}, {100, 80, 20, 10}};
      for (const cv::Rect& view : views) {
        std::vector<KESTROVIA::Object> results;
        instance->RunInference(frame(view), "fuzz", results);
      }
    }
  } catch (...) {
    // Scripts may ask for failures; a failure is not a finding.
  }
  KESTROVIA::TEVLIB::Destroy(instance);
  return 0;
}
