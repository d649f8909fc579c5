// The host's events as JSON Lines, one object a line: a "detections" line for every frame
// with detections, an "alarm-start" and an "alarm-end" line for every alarm. Inputs run in
// parallel share one writer; lines never interleave.
#pragma once

#include "interface/CustomObject.h"
#include "platform/host/alarm_tracker.h"

#include <nlohmann/json.hpp>

#include <mutex>
#include <ostream>
#include <string>
#include <vector>

namespace tevhost {

// Where events come from: the camera id handed to the detector and the input as given.
struct EventSource {
  std::string camera;
  std::string input;
};

class EventWriter {
 public:
  // Writes to out, which must outlive the writer; null discards the events.
  explicit EventWriter(std::ostream* out) : _out(out) {}

  void Detections(const EventSource& source, long frame, double timestampMs,
                  const std::vector<CustomObject>& detections);
  void AlarmStarted(const EventSource& source, const AlarmStart& start);
  void AlarmEnded(const EventSource& source, const AlarmEnd& end);

 private:
  void Write(const EventSource& source, const char* event, const nlohmann::ordered_json& fields);

  std::mutex _mutex;
  std::ostream* _out;
};

}  // namespace tevhost
