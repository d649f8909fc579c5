#include "platform/eval/clip_result.h"

#include <filesystem>

namespace teveval {
namespace {

ModeOutcome Outcome(const ClipTruth& truth, const ClipRun& run, const ModeRun& mode) {
  ModeOutcome outcome;
  outcome.events = truth.events;
  outcome.score = ScoreAlarms(truth.events, mode.alarms, mode.sightings);
  outcome.detectionFrames = CountDetectionFrames(truth.events, mode.sightings);
  outcome.frames = run.frames;
  outcome.fps = truth.fps;
  outcome.inferenceSeconds = mode.inferenceSeconds;
  return outcome;
}

}  // namespace

ClipResult ScoreClip(std::string clip, ClipTruth truth, ClipRun run) {
  ClipResult result;
  result.module = Outcome(truth, run, run.module);
  result.raw = Outcome(truth, run, run.raw);
  result.clip = std::move(clip);
  result.truth = std::move(truth);
  result.run = std::move(run);
  return result;
}

std::string ClipName(const std::string& clip) {
  std::filesystem::path path(clip);
  if (!path.has_filename()) {
    path = path.parent_path();
  }
  return path.filename().string();
}

}  // namespace teveval
