#include "platform/gstreamer/tev_fire_smoke.h"

#include "platform/gstreamer/alarm_messages.h"
#include "platform/gstreamer/detection_meta.h"
#include "platform/gstreamer/detector_session.h"
#include "platform/gstreamer/frame_view.h"
#include "platform/host/default_paths.h"
#include "platform/host/failed_frames_line.h"
#include "platform/host/module_console.h"

#include <gst/video/video.h>

#include <cmath>
#include <memory>
#include <string>

GST_DEBUG_CATEGORY_STATIC(tev_fire_smoke_debug);
#define GST_CAT_DEFAULT tev_fire_smoke_debug

namespace tevgst {

// The properties, read and written under the object lock.
// The module and the models start as their property's default (set at init).
struct Properties {
  std::string module;
  std::string models;
  float threshold = 0.5f;
  std::string settings;  // empty: the detector's defaults
  std::string cameraId;  // empty: the element's name
  bool draw = false;
  double alarmGapSeconds = 2.0;
};

struct ElementState {
  Properties properties;
  std::unique_ptr<DetectorSession> session;  // from start to stop
  bool frameFailureReported = false;
  // The module's own failed-frames line, kept until the module's scope is left: a warning
  // posted from inside it could reach application handlers that write to the console.
  std::string moduleFailureLine;
};

}  // namespace tevgst

struct _TevFireSmoke {
  GstVideoFilter parent;
  tevgst::ElementState* state;
};

G_DEFINE_TYPE(TevFireSmoke, tev_fire_smoke, GST_TYPE_VIDEO_FILTER)

namespace {

enum Property : guint {
  kModule = 1,
  kModels,
  kThreshold,
  kSettings,
  kCameraId,
  kDraw,
  kAlarmGap,
};

std::string Text(const GValue* value) {
  const char* text = g_value_get_string(value);
  return text != nullptr ? text : "";
}

const char* TextOrNull(const std::string& text) {
  return text.empty() ? nullptr : text.c_str();
}

tevgst::SessionConfig SessionConfigOf(TevFireSmoke* self) {
  const tevgst::Properties& properties = self->state->properties;
  tevgst::SessionConfig config;
  GST_OBJECT_LOCK(self);
  config.module = properties.module;
  config.models = properties.models;
  config.threshold = properties.threshold;
  config.settings = properties.settings;
  config.camera = properties.cameraId.empty() ? GST_OBJECT_NAME(self) : properties.cameraId;
  config.alarmGapMs = properties.alarmGapSeconds * 1000.0;
  GST_OBJECT_UNLOCK(self);
  return config;
}

// The module's console lines go to the debug log as the element's: standard output and error
// belong to the application. A line on standard error is a warning.
tevhost::ConsoleLineSink ModuleLinesOf(TevFireSmoke* self) {
  return [self](tevhost::ConsoleStream stream, const std::string& line) {
    if (tevhost::FailedFramesInLine(line)) {
      self->state->moduleFailureLine = line;
    }
    if (stream == tevhost::ConsoleStream::Out) {
      GST_INFO_OBJECT(self, "%s", line.c_str());
    } else {
      GST_WARNING_OBJECT(self, "%s", line.c_str());
    }
  };
}

void PostStartError(TevFireSmoke* self, const tevgst::StartFailure& failure) {
  const bool settings = failure.Problem() == tevgst::StartProblem::Settings;
  // What GST_ELEMENT_ERROR expands to, with texts that are not format strings: the problem,
  // and as the debug detail the property to change.
  gst_element_message_full(
      GST_ELEMENT(self), GST_MESSAGE_ERROR, settings ? GST_RESOURCE_ERROR : GST_LIBRARY_ERROR,
      settings ? static_cast<gint>(GST_RESOURCE_ERROR_SETTINGS)
               : static_cast<gint>(GST_LIBRARY_ERROR_INIT),
      g_strdup(failure.what()), g_strdup(failure.Hint().c_str()), __FILE__, GST_FUNCTION, __LINE__);
}

// One warning on the bus per run, so that a model failing on every frame does not flood it;
// every failure goes to the debug log.
void ReportFailedFrame(TevFireSmoke* self, long frame, const std::string& reason) {
  GST_WARNING_OBJECT(self, "frame %ld passed through without detection: %s", frame, reason.c_str());
  if (!self->state->frameFailureReported) {
    self->state->frameFailureReported = true;
    GST_ELEMENT_WARNING(self, STREAM, FAILED,
                        ("the detector failed on frame %ld, which passed through unchanged; "
                         "later failures go to the debug log only",
                         frame),
                        ("%s", reason.c_str()));
  }
}

void PostAlarmEnd(TevFireSmoke* self, const tevhost::AlarmEnd& end) {
  gst_element_post_message(
      GST_ELEMENT(self),
      gst_message_new_element(GST_OBJECT(self),
                              tevgst::AlarmEndStructure(self->state->session->Camera(), end)));
}

void PostAlarmStart(TevFireSmoke* self, const tevhost::AlarmStart& start) {
  gst_element_post_message(
      GST_ELEMENT(self),
      gst_message_new_element(GST_OBJECT(self),
                              tevgst::AlarmStartStructure(self->state->session->Camera(), start)));
}

void FinishAlarm(TevFireSmoke* self) {
  if (const std::optional<tevhost::AlarmEnd> end = self->state->session->Finish()) {
    PostAlarmEnd(self, *end);
  }
}

// The buffer's running time: its presentation time within the current segment, which goes on
// across concat and playlists where the presentation times start again. A buffer without a
// time, or outside a time segment, is timed by its index at the stream's frame rate (25 frames
// a second when the caps give none, tev-host's fallback).
double FrameTimeMs(const GstSegment& segment, const GstVideoFrame& frame, long index) {
  const GstClockTime pts = GST_BUFFER_PTS(frame.buffer);
  if (GST_CLOCK_TIME_IS_VALID(pts) && segment.format == GST_FORMAT_TIME) {
    const GstClockTime running = gst_segment_to_running_time(&segment, GST_FORMAT_TIME, pts);
    if (GST_CLOCK_TIME_IS_VALID(running)) {
      return static_cast<double>(running) / GST_MSECOND;
    }
  }
  const double fps = GST_VIDEO_INFO_FPS_N(&frame.info) > 0
                         ? static_cast<double>(GST_VIDEO_INFO_FPS_N(&frame.info)) /
                               GST_VIDEO_INFO_FPS_D(&frame.info)
                         : 25.0;
  return index * 1000.0 / fps;
}

// The module says how many frames it could not process (at most once a minute): a warning on
// the bus with that count, since those frames passed through without detection.
void PostModuleFailures(TevFireSmoke* self) {
  std::string& line = self->state->moduleFailureLine;
  if (line.empty()) {
    return;
  }
  GST_ELEMENT_WARNING(self, STREAM, FAILED,
                      ("frames the module could not process so far: %llu; they passed through "
                       "without detection",
                       static_cast<unsigned long long>(*tevhost::FailedFramesInLine(line))),
                      ("%s", line.c_str()));
  line.clear();
}

// The next frame through the detector, with the module's console lines in the debug log.
tevgst::FrameOutcome RunFrame(TevFireSmoke* self, tevgst::DetectorSession& session, cv::Mat& image,
                              double timestampMs, bool draw) {
  tevgst::FrameOutcome outcome;
  {
    const tevhost::ModuleConsole console(ModuleLinesOf(self));
    outcome = session.Run(image, timestampMs, draw);
  }
  PostModuleFailures(self);
  return outcome;
}

void Finalize(GObject* object) {
  delete TEV_FIRE_SMOKE(object)->state;
  G_OBJECT_CLASS(tev_fire_smoke_parent_class)->finalize(object);
}

void SetProperty(GObject* object, guint id, const GValue* value, GParamSpec* pspec) {
  TevFireSmoke* self = TEV_FIRE_SMOKE(object);
  tevgst::Properties& properties = self->state->properties;
  GST_OBJECT_LOCK(self);
  switch (id) {
    case kModule:
      properties.module = Text(value);
      break;
    case kModels:
      properties.models = Text(value);
      break;
    // GObject's range check lets NaN through: a NaN threshold or gap would silently disable
    // detection or alarms, so it is refused and the value kept.
    case kThreshold:
      if (std::isfinite(g_value_get_float(value))) {
        properties.threshold = g_value_get_float(value);
      } else {
        GST_WARNING_OBJECT(self, "\"threshold\" must be a number from 0 to 1; keeping %g",
                           properties.threshold);
      }
      break;
    case kSettings:
      properties.settings = Text(value);
      break;
    case kCameraId:
      properties.cameraId = Text(value);
      break;
    case kDraw:
      properties.draw = g_value_get_boolean(value);
      break;
    case kAlarmGap:
      if (std::isfinite(g_value_get_double(value))) {
        properties.alarmGapSeconds = g_value_get_double(value);
      } else {
        GST_WARNING_OBJECT(self, "\"alarm-gap\" must be a number of seconds; keeping %g",
                           properties.alarmGapSeconds);
      }
      break;
    default:
      G_OBJECT_WARN_INVALID_PROPERTY_ID(object, id, pspec);
      break;
  }
  GST_OBJECT_UNLOCK(self);
}

void GetProperty(GObject* object, guint id, GValue* value, GParamSpec* pspec) {
  TevFireSmoke* self = TEV_FIRE_SMOKE(object);
  const tevgst::Properties& properties = self->state->properties;
  GST_OBJECT_LOCK(self);
  switch (id) {
    case kModule:
      g_value_set_string(value, properties.module.c_str());
      break;
    case kModels:
      g_value_set_string(value, properties.models.c_str());
      break;
    case kThreshold:
      g_value_set_float(value, properties.threshold);
      break;
    case kSettings:
      g_value_set_string(value, TextOrNull(properties.settings));
      break;
    case kCameraId:
      g_value_set_string(
          value, properties.cameraId.empty() ? GST_OBJECT_NAME(self) : properties.cameraId.c_str());
      break;
    case kDraw:
      g_value_set_boolean(value, properties.draw);
      break;
    case kAlarmGap:
      g_value_set_double(value, properties.alarmGapSeconds);
      break;
    default:
      G_OBJECT_WARN_INVALID_PROPERTY_ID(object, id, pspec);
      break;
  }
  GST_OBJECT_UNLOCK(self);
}

gboolean Start(GstBaseTransform* transform) {
  TevFireSmoke* self = TEV_FIRE_SMOKE(transform);
  const tevgst::SessionConfig config = SessionConfigOf(self);
  try {
    // Only while the module runs: the messages posted below may reach the application's
    // handlers on this thread.
    const tevhost::ModuleConsole console(ModuleLinesOf(self));
    self->state->session = std::make_unique<tevgst::DetectorSession>(config);
  } catch (const tevgst::StartFailure& failure) {
    PostStartError(self, failure);
    return FALSE;
  } catch (const std::exception& error) {
    GST_ELEMENT_ERROR(self, LIBRARY, INIT, ("the detector could not be started: %s", error.what()),
                      (nullptr));
    return FALSE;
  }
  self->state->frameFailureReported = false;
  return TRUE;
}

gboolean Stop(GstBaseTransform* transform) {
  TevFireSmoke* self = TEV_FIRE_SMOKE(transform);
  if (self->state->session) {
    // Stopped without end of stream: the stream has ended all the same.
    FinishAlarm(self);
    {
      const tevhost::ModuleConsole console(ModuleLinesOf(self));
      self->state->session.reset();
    }
    PostModuleFailures(self);
  }
  return TRUE;
}

gboolean SinkEvent(GstBaseTransform* transform, GstEvent* event) {
  TevFireSmoke* self = TEV_FIRE_SMOKE(transform);
  // The end of the stream ends the running alarm; so do a flush (a flushing seek) and a new
  // segment, after which times start again: the next detection starts a new alarm.
  const GstEventType type = GST_EVENT_TYPE(event);
  if ((type == GST_EVENT_EOS || type == GST_EVENT_FLUSH_STOP || type == GST_EVENT_SEGMENT) &&
      self->state->session) {
    FinishAlarm(self);
  }
  return GST_BASE_TRANSFORM_CLASS(tev_fire_smoke_parent_class)->sink_event(transform, event);
}

GstFlowReturn TransformFrameInPlace(GstVideoFilter* filter, GstVideoFrame* frame) {
  TevFireSmoke* self = TEV_FIRE_SMOKE(filter);
  tevgst::DetectorSession& session = *self->state->session;
  GST_OBJECT_LOCK(self);
  const bool draw = self->state->properties.draw;
  GST_OBJECT_UNLOCK(self);

  const long index = session.Frames();
  cv::Mat image = tevgst::FrameView(*frame);
  try {
    const tevgst::FrameOutcome outcome =
        RunFrame(self, session, image,
                 FrameTimeMs(GST_BASE_TRANSFORM(filter)->segment, *frame, index), draw);
    // An alarm that ends on this frame is reported before one that starts on it.
    if (outcome.alarm.ended) {
      PostAlarmEnd(self, *outcome.alarm.ended);
    }
    if (outcome.alarm.started) {
      PostAlarmStart(self, *outcome.alarm.started);
    }
    tevgst::AttachDetections(frame->buffer, outcome.detections, image.size());
  } catch (const std::exception& error) {
    ReportFailedFrame(self, index, error.what());
  } catch (...) {
    ReportFailedFrame(self, index, "the detector threw an exception that is not a std::exception");
  }
  return GST_FLOW_OK;
}

// What the class announces as a string property's default, so that an element starts with
// exactly the values gst-inspect-1.0 shows.
std::string StringPropertyDefault(TevFireSmoke* self, const char* name) {
  GParamSpec* propertySpec = g_object_class_find_property(G_OBJECT_GET_CLASS(self), name);
  const gchar* value = G_PARAM_SPEC_STRING(propertySpec)->default_value;
  return value != nullptr ? value : "";
}

}  // namespace

static void tev_fire_smoke_init(TevFireSmoke* self) {
  self->state = new tevgst::ElementState();
  self->state->properties.module = StringPropertyDefault(self, "module");
  self->state->properties.models = StringPropertyDefault(self, "models");
  // The detector reads the frames as they are; only draw writes to them.
  gst_base_transform_set_in_place(GST_BASE_TRANSFORM(self), TRUE);
}

static void tev_fire_smoke_class_init(TevFireSmokeClass* klass) {
  GST_DEBUG_CATEGORY_INIT(tev_fire_smoke_debug, "tevfiresmoke", 0,
                          "fire and smoke detection element");
  GObjectClass* objectClass = G_OBJECT_CLASS(klass);
  objectClass->set_property = SetProperty;
  objectClass->get_property = GetProperty;
  objectClass->finalize = Finalize;

  // What the element reads when it starts may change only while it is stopped.
  const auto atStart = static_cast<GParamFlags>(G_PARAM_READWRITE | G_PARAM_STATIC_STRINGS |
                                                GST_PARAM_MUTABLE_READY);
  g_object_class_install_property(
      objectClass, kModule,
      g_param_spec_string(
          "module", "Module",
          "The fire and smoke detection module to load; default: the one installed with the "
          "element",
          tevhost::DefaultModulePath(tevhost::FrontEnd::GStreamerPlugin).c_str(), atStart));
  g_object_class_install_property(
      objectClass, kModels,
      g_param_spec_string(
          "models", "Models",
          "The model folder handed to Initialize; default: models/default installed with the "
          "element",
          tevhost::DefaultModelFolder(tevhost::FrontEnd::GStreamerPlugin).c_str(), atStart));
  g_object_class_install_property(
      objectClass, kThreshold,
      g_param_spec_float("threshold", "Threshold", "The detection threshold handed to Initialize",
                         0.0f, 1.0f, 0.5f, atStart));
  g_object_class_install_property(
      objectClass, kSettings,
      g_param_spec_string("settings", "Settings",
                          "A JSON settings file, as tev-host's: {\"SmokeScore\": 0.7, "
                          "\"Sensitivity\": 0.5, \"MinObjectSize\": 0.03, \"ExclusiveROIs\": "
                          "[[x, y, w, h], ...]}; none: the detector's defaults",
                          nullptr, atStart));
  g_object_class_install_property(
      objectClass, kCameraId,
      g_param_spec_string("camera-id", "Camera id",
                          "The camera id handed to RunInference and given in the alarm "
                          "messages; default: the element's name",
                          nullptr, atStart));
  g_object_class_install_property(
      objectClass, kDraw,
      g_param_spec_boolean("draw", "Draw",
                           "Draw the detections, the search state and the alarm on the frames",
                           FALSE,
                           static_cast<GParamFlags>(G_PARAM_READWRITE | G_PARAM_STATIC_STRINGS |
                                                    GST_PARAM_MUTABLE_PLAYING)));
  g_object_class_install_property(
      objectClass, kAlarmGap,
      g_param_spec_double("alarm-gap", "Alarm gap", "Seconds without detections that end an alarm",
                          0.001, 3600.0, 2.0, atStart));

  GstElementClass* elementClass = GST_ELEMENT_CLASS(klass);
  gst_element_class_set_static_metadata(
      elementClass, "Fire and smoke detection", "Filter/Analyzer/Video",
      "Runs the TEVCustomFireNSmokeDetection module on every frame: detections as "
      "region-of-interest metadata, alarms as element messages",
      "TEVFireNSmoke developers");
  GstCaps* caps = gst_caps_from_string(GST_VIDEO_CAPS_MAKE("BGR"));
  gst_element_class_add_pad_template(
      elementClass, gst_pad_template_new("sink", GST_PAD_SINK, GST_PAD_ALWAYS, caps));
  gst_element_class_add_pad_template(
      elementClass, gst_pad_template_new("src", GST_PAD_SRC, GST_PAD_ALWAYS, caps));
  gst_caps_unref(caps);

  GstBaseTransformClass* transformClass = GST_BASE_TRANSFORM_CLASS(klass);
  transformClass->start = Start;
  transformClass->stop = Stop;
  transformClass->sink_event = SinkEvent;
  GST_VIDEO_FILTER_CLASS(klass)->transform_frame_ip = TransformFrameInPlace;
}
