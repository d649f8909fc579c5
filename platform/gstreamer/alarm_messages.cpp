#include "platform/gstreamer/alarm_messages.h"

#include <cmath>

namespace tevgst {
namespace {

void SetCount(GstStructure* structure, const char* field, long count) {
  gst_structure_set(structure, field, G_TYPE_INT64, static_cast<gint64>(count), nullptr);
}

// The alarm tracker keeps milliseconds; they came from clock times, so rounding restores them.
void SetTime(GstStructure* structure, const char* field, double milliseconds) {
  gst_structure_set(structure, field, G_TYPE_UINT64,
                    static_cast<guint64>(std::llround(milliseconds * GST_MSECOND)), nullptr);
}

GstStructure* NewAlarmStructure(const char* name, const std::string& camera, int alarm) {
  return gst_structure_new(name, "camera", G_TYPE_STRING, camera.c_str(), "alarm", G_TYPE_INT,
                           alarm, nullptr);
}

}  // namespace

GstStructure* AlarmStartStructure(const std::string& camera, const tevhost::AlarmStart& start) {
  GstStructure* structure = NewAlarmStructure(kAlarmStartName, camera, start.alarm);
  SetCount(structure, "frame", start.frame);
  SetTime(structure, "timestamp", start.timestampMs);
  return structure;
}

GstStructure* AlarmEndStructure(const std::string& camera, const tevhost::AlarmEnd& end) {
  GstStructure* structure = NewAlarmStructure(kAlarmEndName, camera, end.alarm);
  SetCount(structure, "frame", end.lastFrame);
  SetTime(structure, "timestamp", end.endMs);
  SetCount(structure, "first-frame", end.firstFrame);
  SetTime(structure, "start-timestamp", end.startMs);
  SetCount(structure, "frames-with-detections", end.framesWithDetections);
  return structure;
}

}  // namespace tevgst
