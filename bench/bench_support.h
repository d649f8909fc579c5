// What the benchmarks share: the frame sizes, a synthetic scene, the reference operation
// (one cv::cvtColor of the whole frame to HSV), the ratio counter, and detectors driven by
// the stand-in library's scripted engine.
#pragma once

#include "tests/support/model_folder.h"
#include "tests/support/test_peer.h"

#include <benchmark/benchmark.h>
#include <opencv2/core.hpp>

#include <string>
#include <vector>

namespace tevbench {

// Registers the benchmark once per frame size: arguments width, height (and then extra).
void FrameSizes(benchmark::internal::Benchmark* benchmark);
void FrameSizesWith(benchmark::internal::Benchmark* benchmark, const std::vector<int>& extra);

cv::Size SizeOf(const benchmark::State& state);

// A dull scene with a bright, unsaturated sky band (a fifth of the frame) and three
// flame-coloured blobs (about 5.5 % of the pixels are warm): most pixels are rejected early,
// as in most camera frames. The same size always gives the same pixels.
cv::Mat SceneFrame(cv::Size size);

// Uniform noise (about 19 % warm): nearly every group of 16 pixels needs the whole warm test.
cv::Mat NoiseFrame(cv::Size size);

// CPU seconds of the process (it runs one busy thread): the clock of every ratio.
double CpuSeconds();

// Median CPU time of one cv::cvtColor(frame, hsv, COLOR_BGR2HSV), in seconds.
double ReferenceSeconds(const cv::Mat& frame);

// Reports "ratio": the CPU time since loopStart (taken right before the benchmark loop) per
// operation, over referenceSeconds, where an iteration does operationsPerIteration
// operations; and "ref_us", the reference in microseconds.
void ReportRatio(benchmark::State& state, double referenceSeconds, double loopStart,
                 double operationsPerIteration = 1.0);

// The scripted detections of one call, as JSON: count boxes of side `side` laid out in a
// grid inside an area of `areaSide` pixels, each moved by `shift` pixels, track ids 1..count.
std::vector<std::string> GridDetections(int count, int areaSide, int side, int shift);

// How far a moving box is shifted in a frame: a short cycle, so that the oldest and newest
// boxes of a track's vote window always differ by more than the movement cue's threshold.
int MovementOffset(int frameIndex);

// The detector script of the follow benchmarks: count moving detections a call, forever.
std::string MovingDetectionsScript(int count, int areaSide);

// A detector object initialised with the given scripts in its own model folder.
class ScriptedDetector {
 public:
  explicit ScriptedDetector(const std::string& detectorScript,
                            const std::string& filterScript = R"({"calls": []})");

  TEVCustomFS detector;
  TEVCustomFSTestPeer peer{detector};

 private:
  tevtest::ModelFolder _folder;
};

// Runs `frames` more frames with the library's call record on and tells whether their model
// runs alternate detector, filter: each frame ran the filter model exactly once.
bool DetectorAndFilterAlternate(ScriptedDetector& scripted, const cv::Mat& frame, int frames);

// Puts the detector on a held area around the frame's centre (the crop square the search
// would choose there) and runs warm-up frames, so that the tracks are confirmed.
void HoldCentreAndWarmUp(ScriptedDetector& scripted, const cv::Mat& frame);

// The side of the area the detector follows in this frame.
int FollowedAreaSide(const cv::Mat& frame);

// Runs search frames until the scan cycle is complete, so the next frame starts a cycle.
// Returns the number of frames in a cycle.
int FinishScanCycle(ScriptedDetector& scripted, const cv::Mat& frame);

}  // namespace tevbench
