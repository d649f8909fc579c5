// Throughput of several detector objects fed in parallel, one thread each, as a host runs
// one object per camera: total frames per second, and efficiency against one object alone.
#include "bench/bench_support.h"

#include <algorithm>
#include <chrono>
#include <memory>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

enum class Workload { Searching, Following };

// Runs last long enough that starting threads and the scheduler's latency hardly count.
constexpr double kRunSeconds = 0.05;

struct Objects {
  std::vector<std::unique_ptr<tevbench::ScriptedDetector>> detectors;
  int framesPerUnit = 0;  // searching: a whole scan cycle, so runs include their rankings
  int framesPerRun = 0;   // frames each object gets per timed run
};

Objects MakeObjects(Workload workload, int count, const cv::Mat& frame) {
  Objects objects;
  for (int index = 0; index < count; ++index) {
    if (workload == Workload::Searching) {
      auto scripted = std::make_unique<tevbench::ScriptedDetector>(R"({"calls": []})");
      objects.framesPerUnit = tevbench::FinishScanCycle(*scripted, frame);
      objects.detectors.push_back(std::move(scripted));
    } else {
      auto scripted = std::make_unique<tevbench::ScriptedDetector>(
          tevbench::MovingDetectionsScript(5, tevbench::FollowedAreaSide(frame)));
      tevbench::HoldCentreAndWarmUp(*scripted, frame);
      objects.framesPerUnit = 10;
      objects.detectors.push_back(std::move(scripted));
    }
  }
  return objects;
}

void Feed(tevbench::ScriptedDetector& scripted, const cv::Mat& frame, int frames) {
  for (int index = 0; index < frames; ++index) {
    benchmark::DoNotOptimize(scripted.detector.RunInference(frame, "bench"));
  }
}

// Wall seconds for `count` objects (from the first) to take one run each, in parallel.
double ParallelRun(Objects& objects, int count, const cv::Mat& frame) {
  const Clock::time_point start = Clock::now();
  std::vector<std::thread> threads;
  for (int index = 0; index < count; ++index) {
    threads.emplace_back(Feed, std::ref(*objects.detectors[static_cast<std::size_t>(index)]),
                         std::cref(frame), objects.framesPerRun);
  }
  for (std::thread& thread : threads) {
    thread.join();
  }
  return std::chrono::duration<double>(Clock::now() - start).count();
}

void Throughput(benchmark::State& state, Workload workload) {
  const cv::Mat frame = tevbench::SceneFrame(tevbench::SizeOf(state));
  const int count = static_cast<int>(state.range(2));
  Objects objects = MakeObjects(workload, count, frame);
  objects.framesPerRun = objects.framesPerUnit;
  const double unitSeconds = ParallelRun(objects, 1, frame);
  objects.framesPerRun *= std::max(1, static_cast<int>(kRunSeconds / unitSeconds));

  double aloneSeconds = 0.0;
  double togetherSeconds = 0.0;
  for (auto _ : state) {
    // One object alone, then all together, so that both see the same load of the machine.
    aloneSeconds += ParallelRun(objects, 1, frame);
    const double together = ParallelRun(objects, count, frame);
    state.SetIterationTime(together);
    togetherSeconds += together;
  }
  const double frames = static_cast<double>(objects.framesPerRun) * state.iterations();
  state.counters["fps_total"] = count * frames / togetherSeconds;
  // Total frames per second over count times those of one object alone.
  state.counters["efficiency"] = aloneSeconds / togetherSeconds;
}

void BM_Throughput_Searching(benchmark::State& state) {
  Throughput(state, Workload::Searching);
}
BENCHMARK(BM_Throughput_Searching)
    ->Apply([](benchmark::internal::Benchmark* benchmark) {
      tevbench::FrameSizesWith(benchmark, {1, 2, 4});
    })
    ->UseManualTime();

void BM_Throughput_Following(benchmark::State& state) {
  Throughput(state, Workload::Following);
}
BENCHMARK(BM_Throughput_Following)
    ->Apply([](benchmark::internal::Benchmark* benchmark) {
      tevbench::FrameSizesWith(benchmark, {1, 2, 4});
    })
    ->UseManualTime();

}  // namespace
