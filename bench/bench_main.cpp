// The benchmark programs' entry point: Google Benchmark's, with OpenCV held to one thread,
// since a host runs many cameras at once and each frame is worked on by one thread.
#include <benchmark/benchmark.h>
#include <opencv2/core.hpp>

int main(int argc, char** argv) {
  cv::setNumThreads(1);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
    return 1;
  }
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
