// The ground truth of a clip, read from <clip>.truth.json: the frame rate, the fire and
// smoke events as runs of frames (with boxes per frame where known) and, optionally, the
// distractors - things that must not raise an alarm. tev-scene writes it; users write it
// for their own footage.
#pragma once

#include <opencv2/core.hpp>

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace teveval {

// A run of frames, first and last included.
struct TruthRun {
  std::string kind;  // "fire" or "smoke" for events; what a distractor is ("person"...)
  long firstFrame = 0;
  long lastFrame = 0;
  std::vector<std::pair<long, cv::Rect>> boxes;  // frame, box; empty when unknown
};

struct ClipTruth {
  std::string path;  // the file read
  double fps = 0.0;
  std::optional<long> frames;  // when the file gives the clip's length
  std::string scenario;        // empty unless the file names one
  std::vector<TruthRun> events;
  std::vector<TruthRun> distractors;
};

// <clip>.truth.json beside the clip: its extension (or a folder's trailing slash) replaced.
std::string TruthPathFor(const std::string& clip);

// Reads and checks a ground-truth file. Throws HostFailure (Usage) naming the file and
// what is wrong: it is missing, it is not JSON, a field is missing or of the wrong kind,
// or a run's frames are out of order or beyond the clip's "frames".
ClipTruth ReadGroundTruth(const std::string& path);

// Throws HostFailure (Usage) when a run ends at or beyond frameCount, the frames the clip
// turned out to hold.
void CheckRunsWithin(const ClipTruth& truth, long frameCount);

}  // namespace teveval
