// The host's events as JSON Lines, one object a line: a "detections" line for every frame
// with detections, an "alarm-start" and an "alarm-end" line for every alarm, an "input-lost"
// and an "input-restored" line when a live input drops and comes back, and a "stats" line
// now and then while an input runs. Inputs run in parallel share one writer; lines
// never interleave. A line that cannot be written ends the run (OutputFailure).
#pragma once

#include "interface/CustomObject.h"
#include "platform/host/alarm_tracker.h"
#include "platform/host/event_output.h"
#include "platform/host/frame_source.h"
#include "platform/host/output_failure.h"

#include <nlohmann/json.hpp>

#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

namespace tevhost {

// How an input is doing, for the "stats" event.
struct InputStats {
  long frames = 0;  // read so far
  double framesPerSecond = 0.0;
  std::uint64_t failedFrames = 0;  // that the module could not process, so far
  long reconnects = 0;             // times a live input came back, so far
  long droppedFrames = 0;          // of a live input, while the detector was busy, so far
};

// Where events come from: the camera id handed to the detector and the input as given.
struct EventSource {
  std::string camera;
  std::string input;
};

class EventWriter {
 public:
  // Writes to out, which must outlive the writer with failure; null discards the events.
  EventWriter(EventOutput* out, OutputFailure& failure) : _out(out), _failure(failure) {}

  void Detections(const EventSource& source, long frame, double timestampMs,
                  const std::vector<CustomObject>& detections);
  void AlarmStarted(const EventSource& source, const AlarmStart& start);
  void AlarmEnded(const EventSource& source, const AlarmEnd& end);
  // A live input lost ("input-lost", with the cause) or back ("input-restored", with the
  // outage's length); frame: the frames the input gave before.
  void LinkChanged(const EventSource& source, long frame, const LinkChange& change);
  // That the input is alive: its frames so far and its rate since the last stats event.
  void Stats(const EventSource& source, const InputStats& stats);

 private:
  void Write(const EventSource& source, const char* event, const nlohmann::ordered_json& fields);

  std::mutex _mutex;
  EventOutput* _out;
  OutputFailure& _failure;
};

}  // namespace tevhost
