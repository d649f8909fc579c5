#include "platform/host/input_run.h"

#include "platform/host/annotated_video.h"
#include "platform/host/annotation.h"
#include "platform/host/camera_watch.h"
#include "platform/host/failed_frames_line.h"
#include "platform/host/frame_report.h"
#include "platform/host/frame_source.h"
#include "platform/host/host_failure.h"
#include "platform/host/module_console.h"
#include "platform/host/short_number.h"

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

std::string SizeText(const cv::Size& size) {
  return std::to_string(size.width) + "x" + std::to_string(size.height);
}

}  // namespace

InputResult RunInput(InputJob& job, const RunOptions& options, EventWriter& events,
                     OutputFailure& outputFailure, const std::atomic<bool>& stop) {
  InputResult result;
  const Clock::time_point started = Clock::now();
  const EventSource& source = job.source;
  CameraWatch watch(options.alarmGapMs);
  // Called while a live input is read, between frames: its losses and returns go to the
  // events and, for the journal, to standard error. No alarm spans an outage: the running
  // one ends with the loss, at its last detection.
  LiveOptions live;
  live.reconnect = options.reconnect;
  live.stop = &stop;
  live.onLinkChange = [&](const LinkChange& change) {
    if (change.lost) {
      if (const std::optional<AlarmEnd> running = watch.Finish()) {
        events.AlarmEnded(source, *running);
        result.alarms.push_back(*running);
      }
    }
    events.LinkChanged(source, result.frames, change);
    Warn(source, change.lost ? "lost at " + ShortNumber(change.timestampMs / 1000.0) +
                                   " s: " + change.cause + "; trying again"
                             : "back after " + ShortNumber(change.outageSeconds) + " s");
  };
  std::unique_ptr<FrameSource> frames;
  try {
    frames = OpenFrameSource(source.input, options.fallbackFps, live);
  } catch (const HostFailure& failure) {
    result.openFailure = failure.what();
  }
  if (frames && !frames->OpeningNote().empty()) {
    Warn(source, frames->OpeningNote());
  }
  std::optional<AnnotatedVideo> video;
  // The module's console lines of this input go on whole, and its failed-frames total is
  // read from them.
  const ConsoleLineSink moduleLines = [&result](ConsoleStream stream, const std::string& line) {
    if (const std::optional<std::uint64_t> total = FailedFramesInLine(line)) {
      result.failedFrames = *total;
    }
    ModuleConsole::PassOn(stream, line);
  };
  Clock::time_point lastStats = started;
  long framesAtLastStats = 0;

  SourceFrame frame;
  cv::Size size;
  try {
    while (frames && !stop && !outputFailure.IsSet() && frames->Read(frame)) {
      if (frame.image.size() != size) {
        if (!size.empty()) {
          Warn(source, "the frame size changed from " + SizeText(size) + " to " +
                           SizeText(frame.image.size()));
        }
        size = frame.image.size();
      }
      // Opened on the first frame: a live input knows its rate only then.
      if (!job.annotatedPath.empty() && !video) {
        video.emplace(job.annotatedPath, frames->FramesPerSecond());
      }
      FrameReport report;
      report.frame = result.frames;
      report.timestampMs = frame.timestampMs;
      const Clock::time_point callStart = Clock::now();
      {
        const ModuleConsole console(moduleLines);
        report.detections = job.detector->RunInference(frame.image, source.camera);
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
        const cv::Mat annotated = Annotate(frame.image, report, watch.Search(), source.camera);
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
                      result.failedFrames, frames->Reconnects(), frames->DroppedFrames()});
        lastStats = Clock::now();
        framesAtLastStats = result.frames;
      }
    }
    result.endNote = frames ? frames->EndNote() : result.openFailure;
  } catch (const std::exception& error) {
    result.endNote = "ended at frame " + std::to_string(result.frames) + ": " + error.what();
  } catch (...) {
    result.endNote = "ended at frame " + std::to_string(result.frames) +
                     ": the detector threw an exception that is not a std::exception";
  }
  if (frames) {
    result.reconnects = frames->Reconnects();
    result.droppedFrames = frames->DroppedFrames();
  }
  // The input goes first: a live one stops reading now, not after the models.
  frames.reset();
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
  // A failed opening is the run's last line (exit status 3); the summary shows it too.
  if (!result.endNote.empty() && result.openFailure.empty()) {
    Warn(source, result.endNote);
  }
  result.seconds = MillisecondsSince(started) / 1000.0;
  return result;
}

}  // namespace tevhost
