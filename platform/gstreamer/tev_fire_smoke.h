// tevfiresmoke: a GStreamer in-place video filter on video/x-raw, format=BGR that hosts one
// detector of the fire and smoke module, i.e. one camera. Every buffer goes through
// RunInference as it is (a cv::Mat over its pixels); confirmed detections ride on the buffer
// as region-of-interest metadata (detection_meta.h) and alarms are posted on the bus as
// element messages (alarm_messages.h). The module, models, threshold, settings and camera id
// are taken when the element starts (READY to PAUSED); a start-up failure fails that state
// change with an error message, and a frame the detector fails on passes through unchanged.
#pragma once

#include <gst/video/gstvideofilter.h>

G_BEGIN_DECLS

#define TEV_TYPE_FIRE_SMOKE (tev_fire_smoke_get_type())
G_DECLARE_FINAL_TYPE(TevFireSmoke, tev_fire_smoke, TEV, FIRE_SMOKE, GstVideoFilter)

G_END_DECLS
