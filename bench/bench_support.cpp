// The benchmarks' shared frames, reference, ratio counter and scripted detectors.
#include "bench/bench_support.h"

#include "platform/tevlib/call_record.h"
#include "tests/stages/stage_fixture.h"
#include "tests/support/call_recording.h"
#include "tests/support/console_capture.h"

#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <ctime>
#include <stdexcept>

namespace tevbench {
namespace {

// Plain ints: the benchmarks are registered during static initialisation.
constexpr int kSizes[][2] = {{1280, 720}, {1920, 1080}, {3840, 2160}};

constexpr int kReferenceRuns = 5;
// Movement: a cycle shorter than a vote window (15), so that the window's ends always differ,
// by 8 pixels or more: more than the movement cue's 5 % of the boxes, whose side is at most 80.
constexpr int kMovementCycle = 6;
constexpr int kMovementStep = 4;
constexpr int kWarmUpFrames = 30;  // two vote windows: every track confirmed and full

}  // namespace

double CpuSeconds() {
  return static_cast<double>(std::clock()) / CLOCKS_PER_SEC;
}

void FrameSizes(benchmark::internal::Benchmark* benchmark) {
  FrameSizesWith(benchmark, {});
}

void FrameSizesWith(benchmark::internal::Benchmark* benchmark, const std::vector<int>& extra) {
  benchmark->ArgNames(extra.empty() ? std::vector<std::string>{"width", "height"}
                                    : std::vector<std::string>{"width", "height", "n"});
  for (const auto& size : kSizes) {
    if (extra.empty()) {
      benchmark->Args({size[0], size[1]});
    }
    for (const int value : extra) {
      benchmark->Args({size[0], size[1], value});
    }
  }
}

cv::Size SizeOf(const benchmark::State& state) {
  return {static_cast<int>(state.range(0)), static_cast<int>(state.range(1))};
}

cv::Mat SceneFrame(cv::Size size) {
  cv::Mat frame(size, CV_8UC3);
  // Grey-blue ground, darker towards the bottom, and a pale sky band at the top.
  for (int row = 0; row < size.height; ++row) {
    const bool sky = row < size.height / 5;
    const double shade = 1.0 - 0.4 * row / size.height;
    frame.row(row).setTo(sky ? cv::Scalar(215, 205, 195)
                             : cv::Scalar(120 * shade, 105 * shade, 90 * shade));
  }
  cv::Mat noise(size, CV_8UC3);
  cv::RNG rng(size.area());
  rng.fill(noise, cv::RNG::UNIFORM, 0, 24);
  frame -= cv::Scalar::all(12);
  frame += noise;

  // Flame-coloured blobs: orange rims around yellow-white cores.
  const int unit = std::min(size.width, size.height);
  const cv::Point centres[] = {{size.width / 2, size.height / 2},
                               {size.width / 5, size.height * 3 / 4},
                               {size.width * 4 / 5, size.height * 2 / 3}};
  for (const cv::Point& centre : centres) {
    cv::ellipse(frame, centre, cv::Size(unit / 12, unit / 8), 0, 0, 360, cv::Scalar(20, 110, 245),
                cv::FILLED);
    cv::ellipse(frame, centre, cv::Size(unit / 24, unit / 16), 0, 0, 360, cv::Scalar(150, 230, 255),
                cv::FILLED);
  }
  return frame;
}

cv::Mat NoiseFrame(cv::Size size) {
  cv::Mat frame(size, CV_8UC3);
  cv::RNG rng(size.area() + 1);
  rng.fill(frame, cv::RNG::UNIFORM, 0, 256);
  return frame;
}

double ReferenceSeconds(const cv::Mat& frame) {
  cv::Mat hsv;
  cv::cvtColor(frame, hsv, cv::COLOR_BGR2HSV);  // allocates hsv and warms the caches
  std::vector<double> runs;
  for (int run = 0; run < kReferenceRuns; ++run) {
    const double start = CpuSeconds();
    cv::cvtColor(frame, hsv, cv::COLOR_BGR2HSV);
    runs.push_back(CpuSeconds() - start);
    benchmark::DoNotOptimize(hsv.data);
  }
  std::nth_element(runs.begin(), runs.begin() + kReferenceRuns / 2, runs.end());
  return runs[kReferenceRuns / 2];
}

void ReportRatio(benchmark::State& state, double referenceSeconds, double loopStart,
                 double operationsPerIteration) {
  const double perOperation = (CpuSeconds() - loopStart) /
                              (static_cast<double>(state.iterations()) * operationsPerIteration);
  state.counters["ratio"] = perOperation / referenceSeconds;
  state.counters["ref_us"] = referenceSeconds * 1e6;
}

std::vector<std::string> GridDetections(int count, int areaSide, int side, int shift) {
  int columns = 1;
  while (columns * columns < count) {
    ++columns;
  }
  const int rows = (count + columns - 1) / columns;
  const int cellWidth = areaSide / columns;
  const int cellHeight = areaSide / rows;
  if (side + shift > std::min(cellWidth, cellHeight)) {
    throw std::invalid_argument("detections do not fit the followed area");
  }
  std::vector<std::string> detections;
  for (int index = 0; index < count; ++index) {
    const cv::Rect box((index % columns) * cellWidth + shift, (index / columns) * cellHeight, side,
                       side);
    detections.push_back(tevtest::Detection(0, 0.9, box, index + 1));
  }
  return detections;
}

int MovementOffset(int frameIndex) {
  return kMovementStep * (frameIndex % kMovementCycle);
}

int FollowedAreaSide(const cv::Mat& frame) {
  TEVCustomFS detector;
  return TEVCustomFSTestPeer(detector).CalculateOptimalCropSize(frame);
}

std::string MovingDetectionsScript(int count, int areaSide) {
  // Boxes an eighth of the area wide pass the size gate at every frame size.
  const int side = areaSide / 8;
  std::vector<std::vector<std::string>> calls;
  for (int call = 0; call < kMovementCycle; ++call) {
    calls.push_back(GridDetections(count, areaSide, side, MovementOffset(call)));
  }
  return tevtest::Script(calls, R"("after":"cycle")");
}

bool DetectorAndFilterAlternate(ScriptedDetector& scripted, const cv::Mat& frame, int frames) {
  // Only these frames are recorded: the timed ones run as the library ships, unrecorded.
  const tevtest::CallRecording recording;
  tevlib::ClearRecordedCalls();
  for (int index = 0; index < frames; ++index) {
    scripted.detector.RunInference(frame, "bench");
  }
  const std::vector<tevlib::RecordedCall> runs =
      tevlib::RecordedCalls(tevlib::CallKind::RunInference);
  if (runs.size() != 2 * static_cast<std::size_t>(frames)) {
    return false;
  }
  for (std::size_t index = 0; index < runs.size(); index += 2) {
    if (runs[index].modelName != "detector" || runs[index + 1].modelName != "filter") {
      return false;
    }
  }
  return true;
}

ScriptedDetector::ScriptedDetector(const std::string& detectorScript,
                                   const std::string& filterScript) {
  _folder.WriteScript("detector", detectorScript);
  _folder.WriteScript("filter", filterScript);
  std::string labelMap;
  tevtest::ConsoleCapture quiet;  // Initialize names the engine on stdout
  if (!detector.Initialize(_folder.Path(), 0.5f, labelMap)) {
    throw std::runtime_error("the scripted models did not load: " + quiet.Err());
  }
}

void HoldCentreAndWarmUp(ScriptedDetector& scripted, const cv::Mat& frame) {
  KESTROVIA::Object centre;
  centre.box = cv::Rect(frame.cols / 2, frame.rows / 2, 0, 0);
  scripted.peer.RefineDetectedArea(frame, centre);
  scripted.peer.detectionActive() = true;
  for (int warmUp = 0; warmUp < kWarmUpFrames; ++warmUp) {
    scripted.detector.RunInference(frame, "bench");
  }
  if (!scripted.peer.IsDetectedAreaValid(scripted.peer.detectedArea())) {
    throw std::runtime_error("the detector gave up the held area during warm-up");
  }
}

int FinishScanCycle(ScriptedDetector& scripted, const cv::Mat& frame) {
  do {
    scripted.detector.RunInference(frame, "bench");
  } while (scripted.peer.currentPriority() != scripted.peer.getLowestPriorityRegion());
  return scripted.peer.getLowestPriorityRegion();
}

}  // namespace tevbench
