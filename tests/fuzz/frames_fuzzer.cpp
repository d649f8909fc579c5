// Fuzz target: many frames of one detector, of any size, depth, channel count and view,
// with a model that reports anything (boxes of any position and size, scores that are
// negative, huge or not numbers, any class and track ids, failures).
#include "interface/TEVCustomModule.h"
#include "tests/fuzz/fuzz_support.h"

#include <nlohmann/json.hpp>

#include <climits>
#include <cstdint>

namespace {

using nlohmann::json;

json AnyScore(FuzzedDataProvider& input) {
  switch (input.ConsumeIntegralInRange(0, 4)) {
    case 0:
      return "nan";
    case 1:
      return input.ConsumeBool() ? "inf" : "-inf";
    case 2:
      return input.ConsumeFloatingPoint<float>();
    default:
      return input.ConsumeFloatingPointInRange<float>(-0.5f, 1.5f);
  }
}

int AnyCoordinate(FuzzedDataProvider& input) {
  return input.ConsumeBool() ? input.ConsumeIntegralInRange(-100, 800)
                             : input.ConsumeIntegral<int>();
}

// A box whose far edges stay within int, as the script reader demands.
json AnyBox(FuzzedDataProvider& input) {
  const int x = AnyCoordinate(input);
  const int y = AnyCoordinate(input);
  int width = AnyCoordinate(input);
  int height = AnyCoordinate(input);
  const auto fits = [](int origin, int side) {
    const long long end = static_cast<long long>(origin) + side;
    return end >= INT_MIN && end <= INT_MAX;
  };
  if (!fits(x, width)) {
    width = 0;
  }
  if (!fits(y, height)) {
    height = 0;
  }
  return {x, y, width, height};
}

json AnyModel(FuzzedDataProvider& input) {
  json calls = json::array();
  for (auto count = input.ConsumeIntegralInRange(0, 8); count > 0; --count) {
    if (input.ConsumeIntegralInRange(0, 15) == 0) {
      calls.push_back({{"throw", input.ConsumeBool() ? "std" : "other"}});
      continue;
    }
    json detections = json::array();
    for (auto detection = input.ConsumeIntegralInRange(0, 12); detection > 0; --detection) {
      detections.push_back({{"classId", input.ConsumeBool() ? input.ConsumeIntegralInRange(0, 2)
                                                            : input.ConsumeIntegral<int>()},
                            {"trackId", input.ConsumeIntegralInRange(-2, 20)},
                            {"confidence", AnyScore(input)},
                            {"box", AnyBox(input)}});
    }
    calls.push_back(detections);
  }
  return {{"coordinates", input.ConsumeBool() ? "view" : "frame"},
          {"after", input.ConsumeBool() ? "cycle" : "repeat-last"},
          {"calls", calls}};
}

cv::Mat AnyFrame(FuzzedDataProvider& input) {
  static const int kDepths[] = {CV_8U, CV_8U, CV_8U, CV_16U, CV_32F, CV_8S};
  const int depth = kDepths[input.ConsumeIntegralInRange(0, 5)];
  const int channels = input.ConsumeBool() ? 3 : input.ConsumeIntegralInRange(1, 4);
  const int width = input.ConsumeIntegralInRange(0, 1000);
  const int height = input.ConsumeIntegralInRange(0, 1000);
  cv::Mat whole(height + 20, width + 20, CV_MAKETYPE(depth, channels));
  cv::RNG(input.ConsumeIntegral<std::uint64_t>()).fill(whole, cv::RNG::UNIFORM, 0, 256);
  // Often a view that is not continuous in memory.
  return input.ConsumeBool() ? whole(cv::Rect(10, 10, width, height)) : whole;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  tevfuzz::SilenceConsole();
  tevfuzz::Folder().WriteScript("filter", R"({"coordinates": "frame", "after": "cycle",
      "calls": [[], [{"classId": 0, "box": [0, 0, 400, 400]}], [{"classId": 13, "box": [0, 0, 50, 50]}]]})");
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider input(data, size);
  tevfuzz::Folder().WriteScript("detector", AnyModel(input).dump());
  const float threshold = input.ConsumeFloatingPoint<float>();

  ITEVCustomClass* detector = Create();
  std::string labelMap;
  detector->Initialize(tevfuzz::Folder().Path(), threshold, labelMap);
  for (auto frames = input.ConsumeIntegralInRange(1, 30); frames > 0 && input.remaining_bytes() > 0;
       --frames) {
    const cv::Mat frame = AnyFrame(input);
    // Runs of the same frame let tracks collect votes and areas be followed.
    for (auto repeat = input.ConsumeIntegralInRange(1, 12); repeat > 0; --repeat) {
      detector->RunInference(frame, "fuzz");
    }
  }
  detector->Destroy();
  Release(detector);
  return 0;
}
