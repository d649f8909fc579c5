#include "platform/host/host_options.h"

#include "platform/host/annotated_video.h"
#include "platform/host/command_line.h"
#include "platform/host/default_paths.h"
#include "platform/host/finite_number.h"
#include "platform/host/host_failure.h"

#include <CLI/CLI.hpp>

#include <filesystem>
#include <thread>

namespace tevhost {

namespace fs = std::filesystem;

namespace {

// Whether two paths name the same file, also when it does not exist yet.
bool SamePath(const std::string& a, const std::string& b) {
  std::error_code error;
  if (fs::exists(a, error) && fs::exists(b, error)) {
    return fs::equivalent(a, b, error);
  }
  return fs::weakly_canonical(a, error) == fs::weakly_canonical(b, error);
}

// An output that names an input or the settings file would destroy it.
void RefuseOutputsOverInputs(const HostOptions& options) {
  std::vector<std::pair<std::string, std::string>> outputs;  // option, path
  if (!options.events.empty() && options.events != "-") {
    outputs.emplace_back("--events", options.events);
  }
  for (std::size_t index = 0; !options.annotate.empty() && index < options.inputs.size(); ++index) {
    outputs.emplace_back("--annotate", AnnotatedPathFor(options.annotate, CameraIdFor(index),
                                                        options.inputs.size()));
  }
  if (!options.snapshots.empty()) {
    outputs.emplace_back("--snapshots", options.snapshots);
  }
  std::vector<std::string> read = options.inputs;
  if (!options.settings.empty()) {
    read.push_back(options.settings);
  }
  for (const auto& [option, output] : outputs) {
    for (const std::string& input : read) {
      if (SamePath(output, input)) {
        throw HostFailure(FailureKind::Usage,
                          option + " " + output + " would overwrite " +
                              (input == options.settings ? "the settings file" : "an input") +
                              " of this run: name another file");
      }
    }
  }
}

}  // namespace

std::optional<HostOptions> ParseCommandLine(int argc, char** argv) {
  HostOptions options;
  options.module = DefaultModulePath(FrontEnd::Program);
  options.models = DefaultModelFolder(FrontEnd::Program);
  options.jobs = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));

  CLI::App app{
      "Runs the fire and smoke detection module over videos, image folders, cameras or streams, "
      "one detector per input, and reports detections and alarms.",
      "tev-host"};
  app.add_option("inputs", options.inputs,
                 "video files, image folders (images sorted by name), camera indices or stream "
                 "URLs");
  app.add_option("--module", options.module, "the module to load")->capture_default_str();
  app.add_option("--models", options.models, "the model folder handed to Initialize")
      ->capture_default_str();
  app.add_option("--threshold", options.threshold, "the detection threshold handed to Initialize")
      ->capture_default_str()
      ->check(kFiniteNumber)
      ->check(CLI::Range(0.0f, 1.0f));
  app.add_flag("--load-engine-on-create", options.loadEngineOnCreate,
               "ask the inference library to load its engine when it is created");
  app.add_flag("--optimize", options.optimize, "call OptimizeModel before the first frame");
  app.add_option("--settings", options.settings,
                 "a JSON settings file: {\"SmokeScore\": 0.7, \"Sensitivity\": 0.5, "
                 "\"MinObjectSize\": 0.03, \"ExclusiveROIs\": [[x, y, w, h], ...]}");
  app.add_flag("--print-schema", options.printSchema,
               "print the settings schema the module announces, as JSON, and exit");
  app.add_option("--events", options.events,
                 "write events as JSON Lines to this file (- for "
                 "standard output)");
  app.add_option("--annotate", options.annotate,
                 "write an annotated video (.avi or .mp4); with several inputs, one per input "
                 "named after its camera id");
  app.add_option("--snapshots", options.snapshots,
                 "write a PNG of the first frame of every alarm into this folder");
  app.add_option("--alarm-gap", options.alarmGapSeconds,
                 "seconds without detections that end an alarm")
      ->capture_default_str()
      ->check(kFiniteNumber)
      ->check(CLI::PositiveNumber);
  app.add_option("--jobs", options.jobs, "inputs run in parallel")
      ->capture_default_str()
      ->check(CLI::Range(1, 256));
  app.add_option("--fps", options.fallbackFps,
                 "frame rate of image folders and of sources that report none")
      ->capture_default_str()
      ->check(kFiniteNumber)
      ->check(CLI::Range(0.1, 1000.0));

  app.add_option("--stats", options.statsSeconds,
                 "seconds between an input's \"stats\" events (frames, rate, failed frames, "
                 "reconnects, dropped frames), so that a supervisor sees it is alive; 0: none")
      ->capture_default_str()
      ->check(kFiniteNumber)
      ->check(CLI::Range(0.0, 86400.0));
  bool noReconnect = false;
  app.add_flag("--no-reconnect", noReconnect,
               "end a camera or stream input when it drops, and refuse one that cannot be "
               "opened, instead of trying again (after 1 s, then 2, 4... up to every 30 s)");

  if (!ParseOrExplain(app, argc, argv)) {
    return std::nullopt;
  }
  options.reconnect = !noReconnect;
  if (options.inputs.empty() && !options.printSchema) {
    throw HostFailure(FailureKind::Usage,
                      "give at least one input: a video file, an image folder, a camera index or "
                      "a stream URL (see tev-host --help)");
  }
  if (!options.annotate.empty() && !IsAnnotatedVideoName(options.annotate)) {
    throw HostFailure(FailureKind::Usage,
                      "--annotate " + options.annotate + ": name a .avi or .mp4 file");
  }
  RefuseOutputsOverInputs(options);
  return options;
}

std::string CameraIdFor(std::size_t index) {
  return "cam" + std::to_string(index);
}

std::string AnnotatedPathFor(const std::string& path, const std::string& camera,
                             std::size_t inputCount) {
  if (inputCount == 1) {
    return path;
  }
  fs::path named(path);
  const std::string extension = named.extension().string();
  named.replace_extension();
  return named.string() + "-" + camera + extension;
}

}  // namespace tevhost
