// tev-host: loads the fire and smoke detection module at run time and drives one detector
// per input over videos, image folders, cameras or streams. Exit status: 0 done, 2 usage
// or settings error, 3 an input cannot be opened (a file or folder before the run; when its
// turn comes, or a stream under --no-reconnect, after the summary), 4 the module cannot be
// loaded, has no Create, or Initialize fails, 5 an output cannot be written (after the
// summary).
#include "platform/host/command_line.h"
#include "platform/host/detector_setup.h"
#include "platform/host/event_output.h"
#include "platform/host/host_failure.h"
#include "platform/host/host_options.h"
#include "platform/host/input_run.h"
#include "platform/host/live_source.h"
#include "platform/host/output_failure.h"
#include "platform/host/own_standard_output.h"
#include "platform/host/parallel.h"
#include "platform/host/plugin_module.h"
#include "platform/host/progress_line.h"
#include "platform/host/run_summary.h"
#include "platform/host/schema_json.h"
#include "platform/host/settings_file.h"

#include <opencv2/core/utils/logger.hpp>

#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <optional>

namespace {

using namespace tevhost;

// Ctrl-C, SIGTERM and SIGHUP end every input cleanly (videos and events are completed), so
// cameras can stop.
std::atomic<bool> stopRequested{false};
static_assert(std::atomic<bool>::is_always_lock_free, "set from a signal handler");

extern "C" void RequestStop(int) {
  stopRequested = true;
}

void CreateParentFolder(const std::string& path) {
  const std::filesystem::path parent = std::filesystem::path(path).parent_path();
  if (!parent.empty()) {
    std::filesystem::create_directories(parent);
  }
}

// Create, Initialize, settings and optimisation, in the order the module expects.
Detector PrepareDetector(const PluginModule& module, const HostOptions& options,
                         const std::optional<SettingsFile>& settings) {
  Detector detector = InitializeDetector(
      module, {options.models, options.threshold, options.loadEngineOnCreate}, settings);
  if (options.optimize && !detector->OptimizeModel(true)) {
    std::cerr << "tev-host: OptimizeModel reported a failure; going on without it" << std::endl;
  }
  return detector;
}

std::vector<InputResult> RunAll(std::vector<std::unique_ptr<InputJob>>& jobs,
                                const RunOptions& output, EventWriter& events,
                                OutputFailure& outputFailure, int threads) {
  std::vector<InputResult> results(jobs.size());
  ForEachInParallel(jobs.size(), threads, [&](std::size_t index) {
    results[index] = RunInput(*jobs[index], output, events, outputFailure, stopRequested);
  });
  return results;
}

int Run(const HostOptions& options) {
  // With events on standard output, the module's console lines (from Initialize on) go to
  // standard error so that standard output holds nothing but events.
  std::optional<OwnStandardOutput> standardOutput;
  if (options.events == "-") {
    standardOutput.emplace();
  }
  const std::optional<SettingsFile> settings = SettingsFile::ReadIfGiven(options.settings);

  const PluginModule module(options.module);
  if (options.printSchema) {
    CustomParams schema;
    module.Create()->ConfigureParameters(schema);
    std::cout << ParamsToJson(schema).dump(2) << std::endl;
    return 0;
  }

  // Declared after the module: the detectors must go before the module that made them.
  std::vector<std::unique_ptr<InputJob>> jobs;
  for (const std::string& input : options.inputs) {
    auto job = std::make_unique<InputJob>();
    job->source = {CameraIdFor(jobs.size()), input};
    // Checked now, opened when its turn comes: a run of many files holds only the open ones.
    CheckInput(input, options.fallbackFps);
    if (!options.annotate.empty()) {
      job->annotatedPath =
          AnnotatedPathFor(options.annotate, job->source.camera, options.inputs.size());
    }
    jobs.push_back(std::move(job));
  }
  for (const auto& job : jobs) {
    job->detector = PrepareDetector(module, options, settings);
  }

  // The outputs only now that inputs, settings and models are good: a run refused for them
  // leaves the files of an earlier run as they were.
  std::optional<EventOutput> eventOutput;
  if (!options.events.empty()) {
    eventOutput.emplace(options.events);
  }
  RunOptions output;
  output.fallbackFps = options.fallbackFps;
  output.reconnect = options.reconnect;
  output.alarmGapMs = options.alarmGapSeconds * 1000.0;
  output.snapshotFolder = options.snapshots;
  output.statsIntervalMs = options.statsSeconds * 1000.0;
  if (!options.snapshots.empty()) {
    std::filesystem::create_directories(options.snapshots);
  }
  if (!options.annotate.empty()) {
    CreateParentFolder(options.annotate);
  }

  OutputFailure outputFailure;
  EventWriter events(eventOutput ? &*eventOutput : nullptr, outputFailure);
  const auto start = std::chrono::steady_clock::now();
  std::vector<InputResult> results;
  {
    const ProgressLine progress(jobs);
    results = RunAll(jobs, output, events, outputFailure, options.jobs);
  }
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  PrintSummary(standardOutput ? std::cerr : std::cout, jobs, results, seconds);
  if (outputFailure.IsSet()) {
    throw HostFailure(FailureKind::Output, outputFailure.Message());
  }
  for (const InputResult& result : results) {
    if (!result.openFailure.empty()) {
      throw HostFailure(FailureKind::Input, result.openFailure);
    }
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  // OpenCV reports every backend that fails to open an input; the host prints the one
  // line that matters.
  cv::utils::logging::setLogLevel(cv::utils::logging::LOG_LEVEL_SILENT);
  std::signal(SIGINT, RequestStop);
  std::signal(SIGTERM, RequestStop);
#if defined(SIGHUP)
  // A closed terminal ends the run as Ctrl-C does.
  std::signal(SIGHUP, RequestStop);
#endif
#if defined(SIGPIPE)
  // A reader that goes away (--events - | head -1) makes the next write fail, which ends the
  // run with its summary instead of killing it mid-frame.
  std::signal(SIGPIPE, SIG_IGN);
#endif
  const int status = RunReportingFailures("tev-host", [&] {
    const std::optional<HostOptions> options = ParseCommandLine(argc, argv);
    return options ? Run(*options) : 0;
  });
  if (LiveReadersRunning() > 0) {
    // A stream's reader is still inside a network read after a stop: everything is written
    // and flushed, and the process ends without the exit handlers that reader could trip on.
    std::cout.flush();
    std::cerr.flush();
    std::fflush(nullptr);
    std::_Exit(status);
  }
  return status;
}
