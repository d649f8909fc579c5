// Cost of the pieces a frame is made of, each as a ratio to one cv::cvtColor of the whole
// frame to HSV.
#include "bench/bench_support.h"

#include <opencv2/imgproc.hpp>

#include <unordered_set>

namespace {

using tevbench::FrameSizes;
using tevbench::FrameSizesWith;

// Ranks the tiles of frame by warm colour, counting in `ranked` (the frame itself, or the
// same pixels in another layout); the ratio is to the conversion of frame.
void RankWarmColour(benchmark::State& state, const cv::Mat& frame, const cv::Mat& ranked) {
  const double reference = tevbench::ReferenceSeconds(frame);
  TEVCustomFS detector;
  TEVCustomFSTestPeer peer(detector);
  peer.divideImage(frame);
  const double loopStart = tevbench::CpuSeconds();
  for (auto _ : state) {
    peer.RankCachedSectionsByWarmColor(ranked);
    benchmark::ClobberMemory();
  }
  tevbench::ReportRatio(state, reference, loopStart);
}

// The ranking at the start of a scan cycle, on the scene.
void BM_WarmRanking_Scene(benchmark::State& state) {
  const cv::Mat frame = tevbench::SceneFrame(tevbench::SizeOf(state));
  RankWarmColour(state, frame, frame);
}
BENCHMARK(BM_WarmRanking_Scene)->Apply(FrameSizes);

// The ranking's worst case: noise, where every group of pixels needs the whole warm test.
void BM_WarmRanking_Noise(benchmark::State& state) {
  const cv::Mat frame = tevbench::NoiseFrame(tevbench::SizeOf(state));
  RankWarmColour(state, frame, frame);
}
BENCHMARK(BM_WarmRanking_Noise)->Apply(FrameSizes);

// The straightforward ranking, for comparison: a frame with an alpha channel still takes
// cv::cvtColor, two cv::inRange, their OR and cv::countNonZero per tile.
void BM_WarmRanking_ConversionPath(benchmark::State& state) {
  const cv::Mat frame = tevbench::SceneFrame(tevbench::SizeOf(state));
  cv::Mat withAlpha;
  cv::cvtColor(frame, withAlpha, cv::COLOR_BGR2BGRA);
  RankWarmColour(state, frame, withAlpha);
}
BENCHMARK(BM_WarmRanking_ConversionPath)->Apply(FrameSizes);

// divideImage on a frame of the size the tiles were built for: a size comparison.
void BM_DivideImage_CachedSize(benchmark::State& state) {
  const cv::Mat frame = tevbench::SceneFrame(tevbench::SizeOf(state));
  const double reference = tevbench::ReferenceSeconds(frame);
  TEVCustomFS detector;
  TEVCustomFSTestPeer peer(detector);
  peer.divideImage(frame);
  const double loopStart = tevbench::CpuSeconds();
  for (auto _ : state) {
    benchmark::DoNotOptimize(peer.divideImage(frame));
  }
  tevbench::ReportRatio(state, reference, loopStart);
}
BENCHMARK(BM_DivideImage_CachedSize)->Apply(FrameSizes);

// One fire colour test (blur, conversion, masks and cleaning of the widened box) on an
// n x n box over the middle flame of the scene.
void BM_ColourTest_Box(benchmark::State& state) {
  const cv::Mat frame = tevbench::SceneFrame(tevbench::SizeOf(state));
  const double reference = tevbench::ReferenceSeconds(frame);
  const int side = static_cast<int>(state.range(2));
  tevbench::ScriptedDetector scripted(R"({"calls": []})");
  const cv::Rect box(frame.cols / 2 - side / 2, frame.rows / 2 - side / 2, side, side);
  const double loopStart = tevbench::CpuSeconds();
  for (auto _ : state) {
    benchmark::DoNotOptimize(scripted.peer.IsFireDetected(frame, box));
  }
  tevbench::ReportRatio(state, reference, loopStart);
}
BENCHMARK(BM_ColourTest_Box)->Apply([](benchmark::internal::Benchmark* benchmark) {
  FrameSizesWith(benchmark, {20, 200});
});

// The track work of one detection in the follow stage, on a full window: record it, both
// vote tests, both cues, and the ageing pass of the frame.
void BM_TrackUpdate_VotesAndCues(benchmark::State& state) {
  const cv::Mat frame = tevbench::SceneFrame(tevbench::SizeOf(state));
  const double reference = tevbench::ReferenceSeconds(frame);
  TEVCustomFS detector;
  TEVCustomFSTestPeer peer(detector);
  const std::unordered_set<int> seen{1};
  cv::Rect box(100, 100, 60, 60);
  int frameIndex = 0;
  const double loopStart = tevbench::CpuSeconds();
  for (auto _ : state) {
    box.x = 100 + tevbench::MovementOffset(frameIndex++);
    peer.UpdateTrackHistory(1, 0, box, 0.9f, 200.0 + frameIndex % 3);
    benchmark::DoNotOptimize(peer.IsTrackConfirmed(1));
    benchmark::DoNotOptimize(peer.IsTrackLowConfirmed(1));
    benchmark::DoNotOptimize(peer.HasFireFlicker(1));
    benchmark::DoNotOptimize(peer.HasBboxMovement(1));
    peer.AgeTracks(seen);
  }
  tevbench::ReportRatio(state, reference, loopStart);
}
BENCHMARK(BM_TrackUpdate_VotesAndCues)->Apply(FrameSizes);

// Conversion of n reported detections into the host's records.
void BM_ResultConversion_Detections(benchmark::State& state) {
  const cv::Mat frame = tevbench::SceneFrame(tevbench::SizeOf(state));
  const double reference = tevbench::ReferenceSeconds(frame);
  const int count = static_cast<int>(state.range(2));
  TEVCustomFS detector;
  TEVCustomFSTestPeer peer(detector);
  std::vector<KESTROVIA::Object> objects(static_cast<std::size_t>(count));
  for (int index = 0; index < count; ++index) {
    KESTROVIA::Object& object = objects[static_cast<std::size_t>(index)];
    object.classId = 0;
    object.className = "fire";
    object.confidence = 0.9f;
    object.box = cv::Rect(10 * index, 20, 40, 40);
    object.cameraId = "bench";
  }
  const double loopStart = tevbench::CpuSeconds();
  for (auto _ : state) {
    benchmark::DoNotOptimize(peer.ConvertToCustomObjects(objects));
  }
  tevbench::ReportRatio(state, reference, loopStart);
}
BENCHMARK(BM_ResultConversion_Detections)->Apply([](benchmark::internal::Benchmark* benchmark) {
  FrameSizesWith(benchmark, {5});
});

}  // namespace
