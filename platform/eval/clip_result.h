// One clip evaluated: its ground truth, what both modes did on it, and how that scores.
#pragma once

#include "platform/eval/clip_run.h"
#include "platform/eval/ground_truth.h"
#include "platform/eval/metrics.h"

#include <string>

namespace teveval {

struct ClipResult {
  std::string clip;  // as given on the command line
  ClipTruth truth;
  ClipRun run;
  ModeOutcome module;
  ModeOutcome raw;
};

// Scores both modes' alarms against the truth; seconds are counted at the truth's rate.
ClipResult ScoreClip(std::string clip, ClipTruth truth, ClipRun run);

// The clip's file name, as the report shows it.
std::string ClipName(const std::string& clip);

}  // namespace teveval
