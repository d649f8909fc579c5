#include "platform/eval/eval_options.h"

#include "platform/host/command_line.h"
#include "platform/host/default_paths.h"
#include "platform/host/finite_number.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <thread>

namespace teveval {

std::optional<EvalOptions> ParseEvalCommandLine(int argc, char** argv) {
  EvalOptions options;
  options.module = tevhost::DefaultModulePath(tevhost::FrontEnd::Program);
  options.models = tevhost::DefaultModelFolder(tevhost::FrontEnd::Program);
  options.jobs = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));

  CLI::App app{
      "Measures what the module's confirmation buys against the raw detector: runs every clip "
      "through the module (as tev-host does) and through the bare detector model on whole "
      "frames, and scores both modes' alarms against the clips' ground truth "
      "(<clip>.truth.json beside each clip).",
      "tev-eval"};
  app.add_option("clips", options.clips,
                 "video files or image folders, each with its ground truth beside it")
      ->required();
  app.add_option("--module", options.module, "the module to load")->capture_default_str();
  app.add_option("--models", options.models,
                 "the model folder: the module's, and its \"detector\" model for the raw mode")
      ->capture_default_str();
  app.add_option("--threshold", options.threshold,
                 "the detection threshold handed to Initialize, and the raw mode's threshold")
      ->capture_default_str()
      ->check(tevhost::kFiniteNumber)
      ->check(CLI::Range(0.0f, 1.0f));
  app.add_option("--settings", options.settings,
                 "a settings file for the module, as tev-host takes it (the raw mode has none)");
  app.add_option("--out", options.out, "folder for report.json, report.md and timelines/<clip>.png")
      ->capture_default_str();
  app.add_option("--alarm-gap", options.alarmGapSeconds,
                 "seconds without detections that end an alarm, in both modes")
      ->capture_default_str()
      ->check(tevhost::kFiniteNumber)
      ->check(CLI::PositiveNumber);
  app.add_option("--jobs", options.jobs, "clips run in parallel")
      ->capture_default_str()
      ->check(CLI::Range(1, 256));
  if (!tevhost::ParseOrExplain(app, argc, argv)) {
    return std::nullopt;
  }
  return options;
}

}  // namespace teveval
