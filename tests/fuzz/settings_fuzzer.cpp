// Fuzz target: arbitrary settings (region kinds, parameters, regions with any points)
// handed to a detector through SetParameters, then a few frames.
#include "interface/TEVCustomModule.h"
#include "tests/fuzz/fuzz_support.h"

#include <cstdint>

namespace {

cv::Point AnyPoint(FuzzedDataProvider& input) {
  return {input.ConsumeIntegral<int>(), input.ConsumeIntegral<int>()};
}

CustomParams AnySettings(FuzzedDataProvider& input) {
  CustomParams settings;
  for (auto count = input.ConsumeIntegralInRange(0, 3); count > 0; --count) {
    settings.roiConfigs.push_back({input.ConsumeBool(), input.ConsumeBool(), input.ConsumeBool(),
                                   input.ConsumeIntegral<int>(), input.ConsumeIntegral<int>(),
                                   tevfuzz::Text(input, {"ExclusiveROIs"}),
                                   input.ConsumeRandomLengthString(16)});
  }
  for (auto count = input.ConsumeIntegralInRange(0, 3); count > 0; --count) {
    settings.textItems.push_back(input.ConsumeRandomLengthString(16));
  }
  for (auto count = input.ConsumeIntegralInRange(0, 8); count > 0; --count) {
    CustomParameter parameter;
    parameter.name = tevfuzz::Text(
        input, {"SmokeScore", "Sensitivity", "MinObjectSize", "SmokeScoreSensitivity"});
    parameter.value = tevfuzz::Text(input, {"", "0.5", "nan", "inf", "-1e39", "1e-45", "0x1p3"});
    settings.parameters.push_back(parameter);
  }
  for (auto count = input.ConsumeIntegralInRange(0, 8); count > 0; --count) {
    CustomROI region;
    region.kindName = tevfuzz::Text(input, {"ExclusiveROIs", "xExclusiveROIsx"});
    for (auto points = input.ConsumeIntegralInRange(0, 6); points > 0; --points) {
      region.points.push_back(AnyPoint(input));
    }
    region.code = input.ConsumeIntegral<int>();
    settings.rois.push_back(region);
  }
  return settings;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  tevfuzz::SilenceConsole();
  // A strong fire, a weak one and smoke, turn by turn, in whole-frame pixels.
  tevfuzz::Folder().WriteScript("detector", R"({"coordinates": "frame", "after": "cycle", "calls": [
        [{"classId": 0, "trackId": 1, "confidence": 0.9, "box": [40, 30, 30, 30]}],
        [{"classId": 0, "trackId": 1, "confidence": 0.3, "box": [42, 30, 30, 30]}],
        [{"classId": 2, "trackId": 2, "confidence": 0.8, "box": [10, 10, 60, 40]}]]})");
  tevfuzz::Folder().WriteScript("filter", R"({"calls": []})");
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider input(data, size);
  const CustomParams settings = AnySettings(input);
  const int frames = input.ConsumeIntegralInRange(1, 6);

  ITEVCustomClass* detector = Create();
  std::string labelMap;
  detector->Initialize(tevfuzz::Folder().Path(), 0.5f, labelMap);
  detector->SetParameters(settings);
  CustomParams schema = settings;
  detector->ConfigureParameters(schema);
  const cv::Mat frame(120, 160, CV_8UC3, cv::Scalar(0, 140, 255));
  for (int index = 0; index < frames; ++index) {
    detector->RunInference(frame, "fuzz");
  }
  detector->Destroy();
  Release(detector);
  return 0;
}
