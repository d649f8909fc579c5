#include "platform/host/input_run.h"

#include "platform/host/annotated_video.h"
#include "platform/host/annotation.h"
#include "platform/host/camera_watch.h"
#include "platform/host/failed_frames_line.h"
#include "platform/host/frame_report.h"
#include "platform/host/module_console.h"

#include <opencv2/imgcodecs.hpp>

#include <chrono>
#include <filesystem>
#include <iostream>
#include <optional>

namespace tevhost {
namespace {

using Clock = std::chrono::steady_clock;

double MillisecondsSince(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// One line, written at once, so that the lines of parallel inputs do not mix.
void Warn(const EventSource& source, const std::string& message) {
  std::cerr << ("tev-host: " + source.camera + " (" + source.input + "): " + message + "\n")
            << std::flush;
}

std::string SnapshotPath(const std::string& folder, const EventSource& source,
                         const AlarmStart& start) {
  const std::string name = source.camera + "-alarm" + std::to_string(start.alarm) + "-frame" +
                           std::to_string(start.frame) + ".png";
  return (std::filesystem::path(folder) / name).string();
}

}  // namespace

InputResult RunInput(InputJob& job, const OutputOptions& options, EventWriter& events,
                     OutputFailure& outputFailure, const std::atomic<bool>& stop) {
  InputResult result;
  CameraWatch watch(options.alarmGapMs);
  std::optional<AnnotatedVideo> video;
  if (!job.annotatedPath.empty()) {
    video.emplace(job.annotatedPath, job.frames->FramesPerSecond());
  }
  const EventSource& source = job.source;
  // The module's console lines of this input go on whole, and its failed-frames total is
  // read from them.
  const ConsoleLineSink moduleLines = [&result](ConsoleStream stream, const std::string& line) {
    if (const std::optional<std::uint64_t> total = FailedFramesInLine(line)) {
      result.failedFrames = *total;
    }
    ModuleConsole::PassOn(stream, line);
  };
  const double msPerFrame = 1000.0 / job.frames->FramesPerSecond();
  const Clock::time_point started = Clock::now();
  Clock::time_point lastStats = started;
  long framesAtLastStats = 0;

  cv::Mat frame;
  try {
    while (!stop && !outputFailure.IsSet() && job.frames->Read(frame)) {
      FrameReport report;
      report.frame = result.frames;
      report.timestampMs = result.frames * msPerFrame;
      const Clock::time_point callStart = Clock::now();
      {
        const ModuleConsole console(moduleLines);
        report.detections = job.detector->RunInference(frame, source.camera);
      }
      result.inferenceMs.push_back(MillisecondsSince(callStart));

      const AlarmTracker::Change change = watch.Record(report);
      if (change.ended) {
        events.AlarmEnded(source, *change.ended);
        result.alarms.push_back(*change.ended);
      }
      if (change.started) {
        events.AlarmStarted(source, *change.started);
        ++job.alarmsStarted;
      }
      if (!report.detections.empty()) {
        events.Detections(source, report.frame, report.timestampMs, report.detections);
      }

      const bool snapshot = change.started && !options.snapshotFolder.empty();
      if (video || snapshot) {
        const cv::Mat annotated = Annotate(frame, report, watch.Search(), source.camera);
        if (video && !video->Write(annotated)) {
          outputFailure.Set("cannot write the annotated video " + video->Path() +
                            ": it cannot be opened for writing (check the folder)");
        }
        if (snapshot) {
          const std::string path = SnapshotPath(options.snapshotFolder, source, *change.started);
          if (cv::imwrite(path, annotated)) {
            result.snapshots.push_back(path);
          } else {
            outputFailure.Set("cannot write the snapshot " + path +
                              ": check the folder and the free space");
          }
        }
      }
      ++result.frames;
      ++job.framesDone;
      const double sinceStatsMs = MillisecondsSince(lastStats);
      if (options.statsIntervalMs > 0.0 && sinceStatsMs >= options.statsIntervalMs) {
        events.Stats(source,
                     {result.frames, (result.frames - framesAtLastStats) * 1000.0 / sinceStatsMs,
                      result.failedFrames});
        lastStats = Clock::now();
        framesAtLastStats = result.frames;
      }
    }
    result.endNote = job.frames->EndNote();
  } catch (const std::exception& error) {
    result.endNote = "ended at frame " + std::to_string(result.frames) + ": " + error.what();
  } catch (...) {
    result.endNote = "ended at frame " + std::to_string(result.frames) +
                     ": the detector threw an exception that is not a std::exception";
  }
  // The models go now, so that the module's last failed-frames line counts in the summary.
  {
    const ModuleConsole console(moduleLines);
    job.detector->Destroy();
  }
  // Finished on every way out of the loop: the end of the input, a stop, a failure.
  if (video) {
    const std::string failure = video->Close();
    if (!failure.empty()) {
      outputFailure.Set("cannot write the annotated video " + video->Path() + ": " + failure);
    } else if (video->Frames() > 0) {
      result.annotatedVideo = video->Path();
    }
  }
  if (const std::optional<AlarmEnd> last = watch.Finish()) {
    events.AlarmEnded(source, *last);
    result.alarms.push_back(*last);
  }
  if (!result.endNote.empty()) {
    Warn(source, result.endNote);
  }
  result.seconds = MillisecondsSince(started) / 1000.0;
  return result;
}

}  // namespace tevhost
