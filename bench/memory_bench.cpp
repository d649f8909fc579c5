// Heap use of the module per frame: how often it allocates, whether any allocation is as
// large as the frame (threshold: one byte per pixel, the size of a one-channel mask of the
// frame), and whether one object's heap stays flat over 100 000 frames.
#include "bench/allocation_counter.h"
#include "bench/bench_support.h"

#include "tests/stages/stage_fixture.h"

#include <malloc.h>

#include <algorithm>

namespace {

using tevbench::AllocationTally;

void ReportTally(benchmark::State& state, const AllocationTally& tally, double frames,
                 const std::string& prefix) {
  state.counters[prefix + "allocs_per_frame"] = static_cast<double>(tally.allocations) / frames;
  state.counters[prefix + "frame_size_allocs"] = static_cast<double>(tally.atLeast);
  state.counters[prefix + "largest_kB"] = static_cast<double>(tally.largest) / 1024.0;
}

// Search frames, told apart by whether they start a scan cycle (and rank the tiles).
void BM_Allocation_Searching(benchmark::State& state) {
  const cv::Mat frame = tevbench::SceneFrame(tevbench::SizeOf(state));
  const std::size_t frameBytes = frame.total();
  tevbench::ScriptedDetector scripted(R"({"calls": []})");
  const int framesPerCycle = tevbench::FinishScanCycle(scripted, frame);
  AllocationTally starts;
  AllocationTally others;
  double cycles = 0.0;
  for (auto _ : state) {
    for (int index = 0; index < framesPerCycle; ++index) {
      tevbench::StartCountingAllocations(frameBytes);
      benchmark::DoNotOptimize(scripted.detector.RunInference(frame, "bench"));
      (index == 0 ? starts : others) += tevbench::StopCountingAllocations();
    }
    cycles += 1.0;
  }
  ReportTally(state, starts, cycles, "cycle_start_");
  ReportTally(state, others, cycles * (framesPerCycle - 1), "other_");
}
BENCHMARK(BM_Allocation_Searching)->Apply(tevbench::FrameSizes)->Iterations(50);

// Follow frames with n confirmed, moving tracks reported.
void BM_Allocation_Following(benchmark::State& state) {
  const cv::Mat frame = tevbench::SceneFrame(tevbench::SizeOf(state));
  tevbench::ScriptedDetector scripted(tevbench::MovingDetectionsScript(
      static_cast<int>(state.range(2)), tevbench::FollowedAreaSide(frame)));
  tevbench::HoldCentreAndWarmUp(scripted, frame);
  AllocationTally sum;
  for (auto _ : state) {
    tevbench::StartCountingAllocations(frame.total());
    benchmark::DoNotOptimize(scripted.detector.RunInference(frame, "bench"));
    sum += tevbench::StopCountingAllocations();
  }
  ReportTally(state, sum, static_cast<double>(state.iterations()), "");
}
BENCHMARK(BM_Allocation_Following)
    ->Apply([](benchmark::internal::Benchmark* benchmark) {
      tevbench::FrameSizesWith(benchmark, {5});
    })
    ->Iterations(500);

std::size_t HeapInUse() {
  const struct mallinfo2 info = mallinfo2();
  return info.uordblks + info.hblkhd;
}

// A life of one object: search, find, follow five tracks (whose ids change half-way, as a
// tracker's do), lose them, search again; 200 frames a round, 500 rounds. The heap in use is
// sampled every 10 000 frames from frame 20 000, with the stand-in library's call record off
// as it ships.
void BM_Memory_SteadyState(benchmark::State& state) {
  const cv::Mat frame = tevbench::SceneFrame(tevbench::SizeOf(state));
  const int areaSide = tevbench::FollowedAreaSide(frame);
  const int side = areaSide / 8;
  std::vector<std::vector<std::string>> calls(30);  // searching
  calls.push_back({tevtest::Detection(0, 0.9, cv::Rect(10, 10, side, side), 1)});
  for (int call = 0; call < 100; ++call) {  // followed; the ids change after 50 frames
    std::vector<std::string> detections =
        tevbench::GridDetections(5, areaSide, side, tevbench::MovementOffset(call));
    if (call >= 50) {
      for (int index = 0; index < 5; ++index) {
        detections[static_cast<std::size_t>(index)] = tevtest::Detection(
            0, 0.9, cv::Rect(index * side, tevbench::MovementOffset(call), side, side), 6 + index);
      }
    }
    calls.push_back(detections);
  }
  calls.resize(200);  // lost: the hold runs out, then searching again
  tevbench::ScriptedDetector scripted(tevtest::Script(calls, R"("after":"cycle")"));

  constexpr int kFrames = 100000;
  constexpr int kSampleEvery = 10000;
  constexpr int kFirstSample = 20000;
  std::vector<double> samples;
  std::size_t reported = 0;
  for (auto _ : state) {
    for (int index = 1; index <= kFrames; ++index) {
      reported += scripted.detector.RunInference(frame, "bench").size();
      if (index >= kFirstSample && index % kSampleEvery == 0) {
        samples.push_back(static_cast<double>(HeapInUse()) / 1024.0);
      }
    }
  }
  if (reported == 0) {
    state.SkipWithError("nothing was reported: the scenario is not the intended one");
  }
  const auto [low, high] = std::minmax_element(samples.begin(), samples.end());
  state.counters["heap_kB_at_20k"] = samples.front();
  state.counters["heap_kB_at_100k"] = samples.back();
  state.counters["heap_spread_kB"] = *high - *low;
  state.counters["reported_per_frame"] = static_cast<double>(reported) / kFrames;
}
BENCHMARK(BM_Memory_SteadyState)
    ->Args({1920, 1080})
    ->ArgNames({"width", "height"})
    ->Iterations(1)
    ->Repetitions(1)
    ->Unit(benchmark::kSecond);

}  // namespace
