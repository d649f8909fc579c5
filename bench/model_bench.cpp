// The shipped detector model (models/default) on one tile, through the stand-in library as
// the module calls it: the inference a searched or followed frame costs beside the module's
// own work. Reported in milliseconds ("ms") and, as the other figures, as a ratio to one
// cv::cvtColor of a 1920x1080 frame to HSV.
#include "bench/bench_support.h"
#include "inference/TEVLIB.h"

#include <memory>
#include <string>

namespace {

void BM_ShippedDetector_Tile(benchmark::State& state) {
  const int side = static_cast<int>(state.range(0));
  const double reference = tevbench::ReferenceSeconds(tevbench::SceneFrame({1920, 1080}));
  const std::unique_ptr<KESTROVIA::TEVLIB, void (*)(KESTROVIA::TEVLIB*)> model(
      KESTROVIA::TEVLIB::Create(), &KESTROVIA::TEVLIB::Destroy);
  std::string labelMap;
  const std::string folder = std::string(TEV_SOURCE_DIR) + "/models/default";
  if (model->LoadModelFromFolder("", "detector", "detector.names", 0.25f, 0.25f, 0.5f, 1, 30, 1, 0,
                                 folder.c_str(), labelMap) != 1) {
    state.SkipWithError(("cannot load the detector of " + folder).c_str());
    return;
  }
  const cv::Mat frame = tevbench::SceneFrame({1920, 1080});
  const cv::Mat tile = frame(cv::Rect(0, 0, side, side));  // a view, as the module hands it
  std::vector<KESTROVIA::Object> results;
  const double loopStart = tevbench::CpuSeconds();
  for (auto _ : state) {
    results.clear();
    model->RunInference(tile, "bench", results);
    benchmark::DoNotOptimize(results.data());
  }
  const double perRun = (tevbench::CpuSeconds() - loopStart) / state.iterations();
  state.counters["ms"] = perRun * 1000.0;
  tevbench::ReportRatio(state, reference, loopStart);
}
// The smallest followed area, the model's own input side, and the largest followed area.
BENCHMARK(BM_ShippedDetector_Tile)->Arg(224)->Arg(320)->Arg(640)->ArgName("side");

}  // namespace
