// Per-frame cost of the whole driver (RunInference), in the two states it spends its life
// in, beside the reference: one cv::cvtColor of the whole frame to HSV.
#include "bench/bench_support.h"

#include <opencv2/imgproc.hpp>

namespace {

using tevbench::FrameSizes;
using tevbench::FrameSizesWith;

// The reference itself: its ratio is 1 up to the noise between the two measurements.
void BM_Reference_HsvConversion(benchmark::State& state) {
  const cv::Mat frame = tevbench::SceneFrame(tevbench::SizeOf(state));
  const double reference = tevbench::ReferenceSeconds(frame);
  cv::Mat hsv;
  const double loopStart = tevbench::CpuSeconds();
  for (auto _ : state) {
    cv::cvtColor(frame, hsv, cv::COLOR_BGR2HSV);
    benchmark::DoNotOptimize(hsv.data);
  }
  tevbench::ReportRatio(state, reference, loopStart);
}
BENCHMARK(BM_Reference_HsvConversion)->Apply(FrameSizes);

// Nothing is found: every frame searches one tile. An iteration is one whole scan cycle, so
// the warm ranking at its start is included; figures are per frame.
void BM_Searching_ScanCycle(benchmark::State& state) {
  const cv::Mat frame = tevbench::SceneFrame(tevbench::SizeOf(state));
  const double reference = tevbench::ReferenceSeconds(frame);
  tevbench::ScriptedDetector scripted(R"({"calls": []})");
  const int framesPerCycle = tevbench::FinishScanCycle(scripted, frame);
  const double loopStart = tevbench::CpuSeconds();
  for (auto _ : state) {
    for (int index = 0; index < framesPerCycle; ++index) {
      benchmark::DoNotOptimize(scripted.detector.RunInference(frame, "bench"));
    }
  }
  state.counters["frames_per_cycle"] = framesPerCycle;
  tevbench::ReportRatio(state, reference, loopStart, framesPerCycle);
}
BENCHMARK(BM_Searching_ScanCycle)->Apply(FrameSizes);

// An area is held and n detections a frame, on confirmed, moving tracks, are reported: every
// frame runs the detector on the area, records and votes each track, takes the brightness
// of each box, runs the filter model once and converts n results.
void BM_Following_MovingTracks(benchmark::State& state) {
  const cv::Mat frame = tevbench::SceneFrame(tevbench::SizeOf(state));
  const double reference = tevbench::ReferenceSeconds(frame);
  const int detections = static_cast<int>(state.range(2));
  tevbench::ScriptedDetector scripted(
      tevbench::MovingDetectionsScript(detections, tevbench::FollowedAreaSide(frame)));
  tevbench::HoldCentreAndWarmUp(scripted, frame);
  std::size_t reported = 0;
  const double loopStart = tevbench::CpuSeconds();
  for (auto _ : state) {
    reported += scripted.detector.RunInference(frame, "bench").size();
  }
  tevbench::ReportRatio(state, reference, loopStart);
  if (reported != static_cast<std::size_t>(detections) * state.iterations() ||
      !tevbench::DetectorAndFilterAlternate(scripted, frame, 10)) {
    state.SkipWithError("not the intended scenario: every detection reported, one filter run");
  }
}
BENCHMARK(BM_Following_MovingTracks)->Apply([](benchmark::internal::Benchmark* benchmark) {
  FrameSizesWith(benchmark, {1, 5, 20});
});

}  // namespace
