// tev-eval: measures what the module's temporal confirmation buys against the raw detector.
// Every clip runs through the module, loaded and driven as tev-host drives it, and through
// the bare detector model on whole frames; both modes' alarms are scored against the clip's
// ground truth. Writes report.json, report.md and one timeline PNG per clip, and prints the
// total table. Exit status: 0 done, 2 usage, settings or ground-truth error, 3 a clip cannot
// be opened, 4 the module or the models cannot be loaded.
#include "platform/eval/clip_result.h"
#include "platform/eval/clip_run.h"
#include "platform/eval/eval_options.h"
#include "platform/eval/ground_truth.h"
#include "platform/eval/raw_detector.h"
#include "platform/eval/report.h"
#include "platform/eval/timeline.h"
#include "platform/host/command_line.h"
#include "platform/host/detector_setup.h"
#include "platform/host/frame_source.h"
#include "platform/host/host_failure.h"
#include "platform/host/own_standard_output.h"
#include "platform/host/parallel.h"
#include "platform/host/plugin_module.h"
#include "platform/host/settings_file.h"
#include "platform/host/short_number.h"

#include <opencv2/core/utils/logger.hpp>
#include <opencv2/imgcodecs.hpp>

#include <atomic>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <memory>
#include <optional>
#include <set>

namespace {

namespace fs = std::filesystem;
using namespace teveval;
using tevhost::FailureKind;
using tevhost::HostFailure;

// A frame rate a video and its ground truth may differ by before tev-eval says so.
constexpr double kFpsTolerance = 0.005;

struct Clip {
  std::string path;
  ClipTruth truth;
  tevhost::Detector detector;
  std::unique_ptr<RawDetector> raw;
  std::optional<ClipRun> run;
  std::string failure;      // what went wrong while it ran
  std::string openFailure;  // why it could not be opened when its turn came
};

// One line, written at once, so that the lines of parallel clips do not mix.
void Say(const std::string& line) {
  std::cerr << ("tev-eval: " + line + "\n") << std::flush;
}

std::string Alarms(const ModeRun& mode) {
  return std::to_string(mode.alarms.size()) + (mode.alarms.size() == 1 ? " alarm" : " alarms");
}

void RunAll(std::vector<Clip>& clips, double alarmGapMs, int jobs) {
  std::atomic<std::size_t> done{0};
  tevhost::ForEachInParallel(clips.size(), jobs, [&](std::size_t index) {
    Clip& clip = clips[index];
    try {
      // Opened only now: a run of many clips holds the files of the running ones only.
      const std::unique_ptr<tevhost::FrameSource> frames =
          tevhost::OpenFrameSource(clip.path, clip.truth.fps);
      if (!frames->OpeningNote().empty()) {
        Say(clip.path + ": " + frames->OpeningNote());
      }
      clip.run =
          RunClip(*frames, *clip.detector, *clip.raw, "cam" + std::to_string(index), alarmGapMs);
      Say(std::to_string(++done) + " of " + std::to_string(clips.size()) +
          " clips: " + ClipName(clip.path) + ", module " + Alarms(clip.run->module) + ", raw " +
          Alarms(clip.run->raw));
    } catch (const HostFailure& failure) {
      clip.openFailure = failure.what();
    } catch (const std::exception& error) {
      clip.failure = error.what();
    } catch (...) {
      clip.failure = "the inference library threw an exception that is not a std::exception";
    }
  });
}

// Checked after the flush: that is where a full disk shows.
void WriteText(const fs::path& path, const std::string& text) {
  errno = 0;
  std::ofstream out(path);
  out << text;
  out.close();
  if (!out) {
    throw HostFailure(
        FailureKind::Output,
        "cannot write " + path.string() + ": " +
            (errno != 0 ? std::strerror(errno) : "check the folder and the free space"));
  }
}

int Run(const EvalOptions& options) {
  // Standard output carries the total table alone; the module's console lines go to standard
  // error with tev-eval's own notes.
  tevhost::OwnStandardOutput standardOutput;
  const std::optional<tevhost::SettingsFile> settings =
      tevhost::SettingsFile::ReadIfGiven(options.settings);
  // Loaded before the clips are declared: their detectors must go before the module that
  // made them.
  const tevhost::PluginModule module(options.module);

  // Every clip's ground truth and frames first, so that a bad file fails before any work.
  std::vector<Clip> clips;
  for (const std::string& path : options.clips) {
    Clip clip;
    clip.path = path;
    clip.truth = ReadGroundTruth(TruthPathFor(path));
    tevhost::CheckInput(path, clip.truth.fps);
    clips.push_back(std::move(clip));
  }
  for (Clip& clip : clips) {
    clip.detector =
        tevhost::InitializeDetector(module, {options.models, options.threshold, false}, settings);
    clip.raw = std::make_unique<RawDetector>(options.models, options.threshold);
  }

  RunAll(clips, options.alarmGapSeconds * 1000.0, options.jobs);

  std::vector<ClipResult> results;
  for (Clip& clip : clips) {
    if (!clip.openFailure.empty()) {
      throw HostFailure(FailureKind::Input, clip.openFailure);
    }
    if (!clip.run) {
      throw std::runtime_error(clip.path + ": " + clip.failure);
    }
    if (!clip.run->endNote.empty()) {
      Say(clip.path + ": " + clip.run->endNote);
    }
    CheckRunsWithin(clip.truth, clip.run->frames);
    if (std::abs(clip.run->fps - clip.truth.fps) > kFpsTolerance * clip.truth.fps) {
      Say(clip.path + ": the video runs at " + tevhost::ShortNumber(clip.run->fps) +
          " frames/s and its ground truth says " + tevhost::ShortNumber(clip.truth.fps) +
          "; times are reported at the ground truth's rate");
    }
    results.push_back(ScoreClip(clip.path, std::move(clip.truth), std::move(*clip.run)));
  }

  const fs::path out(options.out);
  fs::create_directories(out / "timelines");
  std::vector<std::string> timelines;
  std::set<std::string> names;
  for (const ClipResult& result : results) {
    // Named after the clip without its extension, numbered when two clips share a name.
    const std::string stem = fs::path(ClipName(result.clip)).stem().string();
    std::string name = stem;
    for (int copy = 2; !names.insert(name).second; ++copy) {
      name = stem + "-" + std::to_string(copy);
    }
    const fs::path timeline = fs::path("timelines") / (name + ".png");
    if (!cv::imwrite((out / timeline).string(), DrawTimeline(result))) {
      throw HostFailure(FailureKind::Output, "cannot write " + (out / timeline).string() +
                                                 ": check the folder and the free space");
    }
    timelines.push_back(timeline.string());
  }
  const EvalSetup setup{options.models, options.threshold, options.settings,
                        options.alarmGapSeconds};
  WriteText(out / "report.json", ReportJson(setup, results, timelines).dump(2) + "\n");
  WriteText(out / "report.md", ReportMarkdown(setup, results));
  standardOutput.Out() << TotalTable(results) << "\ntev-eval: report in "
                       << (out / "report.md").string() << " and " << (out / "report.json").string()
                       << ", timelines in " << (out / "timelines").string() << std::endl;
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  // OpenCV reports every backend that fails to open an input; tev-eval prints the one line
  // that matters.
  cv::utils::logging::setLogLevel(cv::utils::logging::LOG_LEVEL_SILENT);
  return tevhost::RunReportingFailures("tev-eval", [&] {
    const std::optional<EvalOptions> options = ParseEvalCommandLine(argc, argv);
    return options ? Run(*options) : 0;
  });
}
