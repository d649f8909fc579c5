#include "platform/host/event_writer.h"

#include <cmath>

namespace tevhost {
namespace {

using Json = nlohmann::ordered_json;

// Scores and times to the digits that mean something, so that 0.9f reads 0.9.
double Rounded(double value, double perUnit) {
  return std::round(value * perUnit) / perUnit;
}

}  // namespace

void EventWriter::Detections(const EventSource& source, long frame, double timestampMs,
                             const std::vector<CustomObject>& detections) {
  if (_out == nullptr) {
    return;  // nothing to build the line for
  }
  Json list = Json::array();
  for (const CustomObject& detection : detections) {
    const cv::Rect& box = detection.box;
    list.push_back({{"classId", detection.classId},
                    {"className", detection.className},
                    {"score", Rounded(detection.confidence, 1e4)},
                    {"box", {box.x, box.y, box.width, box.height}}});
  }
  Write(source, "detections",
        {{"frame", frame}, {"timestampMs", Rounded(timestampMs, 1e3)}, {"detections", list}});
}

void EventWriter::AlarmStarted(const EventSource& source, const AlarmStart& start) {
  Write(source, "alarm-start",
        {{"alarm", start.alarm},
         {"frame", start.frame},
         {"timestampMs", Rounded(start.timestampMs, 1e3)}});
}

void EventWriter::AlarmEnded(const EventSource& source, const AlarmEnd& end) {
  Write(source, "alarm-end",
        {{"alarm", end.alarm},
         {"frame", end.lastFrame},
         {"timestampMs", Rounded(end.endMs, 1e3)},
         {"firstFrame", end.firstFrame},
         {"startMs", Rounded(end.startMs, 1e3)},
         {"framesWithDetections", end.framesWithDetections}});
}

void EventWriter::LinkChanged(const EventSource& source, long frame, const LinkChange& change) {
  if (change.lost) {
    Write(source, "input-lost",
          {{"frame", frame},
           {"timestampMs", Rounded(change.timestampMs, 1e3)},
           {"cause", change.cause}});
  } else {
    Write(source, "input-restored",
          {{"frame", frame},
           {"timestampMs", Rounded(change.timestampMs, 1e3)},
           {"outageSeconds", Rounded(change.outageSeconds, 1e3)}});
  }
}

void EventWriter::Stats(const EventSource& source, const InputStats& stats) {
  Write(source, "stats",
        {{"frames", stats.frames},
         {"framesPerSecond", Rounded(stats.framesPerSecond, 1e1)},
         {"failedFrames", stats.failedFrames},
         {"reconnects", stats.reconnects},
         {"droppedFrames", stats.droppedFrames}});
}

void EventWriter::Write(const EventSource& source, const char* event, const Json& fields) {
  if (_out == nullptr) {
    return;
  }
  Json line = {{"event", event}, {"camera", source.camera}, {"input", source.input}};
  line.update(fields);
  const std::string text = line.dump();
  std::lock_guard<std::mutex> lock(_mutex);
  // Flushed line by line, so that a reader following the file sees whole events.
  if (!_out->WriteLine(text)) {
    _failure.Set("cannot write " + _out->Name() + ": " + _out->Failure());
  }
}

}  // namespace tevhost
