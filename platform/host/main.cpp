// tev-host: loads the fire and smoke detection module at run time and drives one detector
// per input over videos, image folders, cameras or streams. Exit status: 0 done, 2 usage
// or settings error, 3 an input cannot be opened, 4 the module cannot be loaded, has no
// Create, or Initialize fails.
#include "platform/host/command_line.h"
#include "platform/host/detector_setup.h"
#include "platform/host/host_failure.h"
#include "platform/host/host_options.h"
#include "platform/host/input_run.h"
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
#include <filesystem>
#include <fstream>
#include <iostream>
#include <optional>

namespace {

using namespace tevhost;

// Ctrl-C ends every input cleanly (videos and events are completed), so cameras can stop.
std::atomic<bool> stopRequested{false};
static_assert(std::atomic<bool>::is_always_lock_free, "set from a signal handler");

extern "C" void RequestStop(int) {
  stopRequested = true;
}

// With events on standard output, the module's console lines go to standard error so
// that standard output holds nothing but events.
class EventStream {
 public:
  explicit EventStream(const std::string& target) {
    if (target == "-") {
      _standardOutput.emplace();
    } else if (!target.empty()) {
      _file.open(target);
      if (!_file) {
        throw HostFailure(FailureKind::Usage,
                          "cannot write the events file " + target + ": check the folder");
      }
    }
  }
  EventStream(const EventStream&) = delete;
  EventStream& operator=(const EventStream&) = delete;

  // Null when no events are written.
  std::ostream* Events() {
    if (_standardOutput) {
      return &_standardOutput->Out();
    }
    return _file.is_open() ? &_file : nullptr;
  }
  // Where the summary goes: standard output unless the events do.
  std::ostream& Summary() { return _standardOutput ? std::cerr : std::cout; }

 private:
  std::optional<OwnStandardOutput> _standardOutput;
  std::ofstream _file;
};

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
                                const OutputOptions& output, EventWriter& events, int threads) {
  std::vector<InputResult> results(jobs.size());
  ForEachInParallel(jobs.size(), threads, [&](std::size_t index) {
    results[index] = RunInput(*jobs[index], output, events, stopRequested);
  });
  return results;
}

int Run(const HostOptions& options) {
  EventStream eventStream(options.events);
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
    job->source = {"cam" + std::to_string(jobs.size()), input};
    job->frames = OpenFrameSource(input, options.fallbackFps);
    if (!options.annotate.empty()) {
      job->annotatedPath =
          AnnotatedPathFor(options.annotate, job->source.camera, options.inputs.size());
    }
    jobs.push_back(std::move(job));
  }
  for (const auto& job : jobs) {
    job->detector = PrepareDetector(module, options, settings);
  }

  OutputOptions output;
  output.alarmGapMs = options.alarmGapSeconds * 1000.0;
  output.snapshotFolder = options.snapshots;
  if (!options.snapshots.empty()) {
    std::filesystem::create_directories(options.snapshots);
  }
  if (!options.annotate.empty()) {
    CreateParentFolder(options.annotate);
  }

  EventWriter events(eventStream.Events());
  const auto start = std::chrono::steady_clock::now();
  std::vector<InputResult> results;
  {
    const ProgressLine progress(jobs);
    results = RunAll(jobs, output, events, options.jobs);
  }
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  PrintSummary(eventStream.Summary(), jobs, results, seconds);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  // OpenCV reports every backend that fails to open an input; the host prints the one
  // line that matters.
  cv::utils::logging::setLogLevel(cv::utils::logging::LOG_LEVEL_SILENT);
  std::signal(SIGINT, RequestStop);
  std::signal(SIGTERM, RequestStop);
  return RunReportingFailures("tev-host", [&] {
    const std::optional<HostOptions> options = ParseCommandLine(argc, argv);
    return options ? Run(*options) : 0;
  });
}
