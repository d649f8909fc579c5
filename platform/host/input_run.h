// Runs one input through its own detector, frame by frame: opens the input when its turn
// comes, times every RunInference call, keeps the alarms, writes the events (with the losses
// and returns of a live input) and, if asked, the annotated video and a snapshot of the first
// frame of every alarm. An input that cannot be opened, an unreadable frame or a detector that
// throws ends this input with a note and not the others; an output that cannot be written
// ends them all (OutputFailure).
#pragma once

#include "platform/host/alarm_tracker.h"
#include "platform/host/event_writer.h"
#include "platform/host/output_failure.h"
#include "platform/host/plugin_module.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace tevhost {

struct RunOptions {
  double fallbackFps = 25.0;  // for inputs that report no frame rate
  bool reconnect = true;      // open a camera or stream again when it drops
  double alarmGapMs = 2000.0;
  std::string snapshotFolder;    // empty: no snapshots
  double statsIntervalMs = 0.0;  // between "stats" events; 0: none
};

struct InputJob {
  EventSource source;         // its input is opened when the job starts
  Detector detector;          // initialised, with its settings
  std::string annotatedPath;  // empty: no annotated video
  // Read by the progress line while the input runs.
  std::atomic<long> framesDone{0};
  std::atomic<int> alarmsStarted{0};
};

struct InputResult {
  long frames = 0;
  double seconds = 0.0;
  std::vector<double> inferenceMs;  // one per RunInference call
  std::vector<AlarmEnd> alarms;
  std::string annotatedVideo;  // empty when none was asked for or it could not be written whole
  std::vector<std::string> snapshots;
  std::uint64_t failedFrames = 0;  // the module's count of frames it could not process
  long reconnects = 0;             // times a live input came back after it was lost
  long droppedFrames = 0;          // of a live input, while the detector was busy
  std::string endNote;             // why the input ended early; empty when it ran to its end
  std::string openFailure;         // why the input could not be opened; empty when it was
};

// Runs until the input ends, stop is set or an output fails.
InputResult RunInput(InputJob& job, const RunOptions& options, EventWriter& events,
                     OutputFailure& outputFailure, const std::atomic<bool>& stop);

}  // namespace tevhost
