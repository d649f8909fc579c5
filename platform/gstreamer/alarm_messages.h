// The contents of the element messages that tell applications when an alarm of a camera
// starts and ends; the element posts them on the bus. Times are GStreamer clock times
// (nanoseconds, guint64) on the buffers' timeline; frames count from 0 since the element
// started.
//
//   alarm-start: camera (string), alarm (int, from 1), frame (gint64), timestamp (guint64)
//   alarm-end:   camera, alarm, frame and timestamp of the alarm's last frame with
//                detections, first-frame (gint64), start-timestamp (guint64),
//                frames-with-detections (gint64)
#pragma once

#include "platform/host/alarm_tracker.h"

#include <gst/gst.h>

#include <string>

namespace tevgst {

inline constexpr const char* kAlarmStartName = "alarm-start";
inline constexpr const char* kAlarmEndName = "alarm-end";

// New structures, owned by the caller (gst_message_new_element takes them).
GstStructure* AlarmStartStructure(const std::string& camera, const tevhost::AlarmStart& start);
GstStructure* AlarmEndStructure(const std::string& camera, const tevhost::AlarmEnd& end);

}  // namespace tevgst
