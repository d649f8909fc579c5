// The evaluation's report: a JSON document with every clip's events, alarms and metrics
// for both modes and their totals, and the same as Markdown tables (one row per clip, and
// the total of module against raw).
#pragma once

#include "platform/eval/clip_result.h"

#include <nlohmann/json.hpp>

#include <string>
#include <vector>

namespace teveval {

// How the evaluation was run, recorded with its results.
struct EvalSetup {
  std::string models;
  float threshold = 0.5f;
  std::string settings;  // empty: the detector's defaults
  double alarmGapSeconds = 2.0;
};

// timelines[i] is the PNG of clips[i], relative to the report's folder.
nlohmann::ordered_json ReportJson(const EvalSetup& setup, const std::vector<ClipResult>& clips,
                                  const std::vector<std::string>& timelines);

// The total table, module against raw.
std::string TotalTable(const std::vector<ClipResult>& clips);

// A heading line, the total table and the table of clips.
std::string ReportMarkdown(const EvalSetup& setup, const std::vector<ClipResult>& clips);

}  // namespace teveval
