#include "tests/gstreamer/pipeline_run.h"

#include <gst/app/gstappsink.h>
#include <gst/app/gstappsrc.h>
#include <gst/video/video.h>
#include <gtest/gtest.h>

#include <cstring>
#include <stdexcept>

namespace tevgsttest {
namespace {

// Long enough for any machine; only a broken element waits this long.
constexpr GstClockTime kPatience = 120 * GST_SECOND;

json FieldValue(const GValue* value) {
  switch (G_VALUE_TYPE(value)) {
    case G_TYPE_STRING:
      return g_value_get_string(value);
    case G_TYPE_INT:
      return g_value_get_int(value);
    case G_TYPE_INT64:
      return g_value_get_int64(value);
    case G_TYPE_UINT64:
      return g_value_get_uint64(value);
    case G_TYPE_DOUBLE:
      return g_value_get_double(value);
    default:
      break;
  }
  gchar* text = gst_value_serialize(value);
  json serialised = text != nullptr ? text : "";
  g_free(text);
  return serialised;
}

json StructureJson(const char* source, const GstStructure* structure) {
  json fields = {{"source", source}, {"name", gst_structure_get_name(structure)}};
  gst_structure_foreach(
      structure,
      [](GQuark field, const GValue* value, gpointer data) -> gboolean {
        (*static_cast<json*>(data))[g_quark_to_string(field)] = FieldValue(value);
        return TRUE;
      },
      &fields);
  return fields;
}

Notice NoticeOf(GstMessage* message, GError* error, gchar* debug) {
  Notice notice{GST_OBJECT_NAME(GST_MESSAGE_SRC(message)), error->domain, error->code,
                error->message, debug != nullptr ? debug : ""};
  g_error_free(error);
  g_free(debug);
  return notice;
}

std::vector<Region> RegionsOf(GstBuffer* buffer) {
  std::vector<Region> regions;
  gpointer state = nullptr;
  while (GstMeta* meta = gst_buffer_iterate_meta_filtered(
             buffer, &state, GST_VIDEO_REGION_OF_INTEREST_META_API_TYPE)) {
    const auto* roi = reinterpret_cast<GstVideoRegionOfInterestMeta*>(meta);
    Region region;
    region.type = g_quark_to_string(roi->roi_type);
    region.box = cv::Rect(static_cast<int>(roi->x), static_cast<int>(roi->y),
                          static_cast<int>(roi->w), static_cast<int>(roi->h));
    const GstStructure* detection = gst_video_region_of_interest_meta_get_param(
        const_cast<GstVideoRegionOfInterestMeta*>(roi), "detection");
    if (detection == nullptr ||
        !gst_structure_get_double(detection, "confidence", &region.confidence)) {
      region.confidence = -1.0;  // shows up in the comparison
    }
    regions.push_back(region);
  }
  return regions;
}

cv::Mat ImageOf(GstSample* sample) {
  GstVideoInfo info;
  if (!gst_video_info_from_caps(&info, gst_sample_get_caps(sample))) {
    throw std::runtime_error("the sample's caps are not video caps");
  }
  GstBuffer* buffer = gst_sample_get_buffer(sample);
  GstMapInfo map;
  if (!gst_buffer_map(buffer, &map, GST_MAP_READ)) {
    throw std::runtime_error("cannot map an output buffer");
  }
  const cv::Mat view(GST_VIDEO_INFO_HEIGHT(&info), GST_VIDEO_INFO_WIDTH(&info), CV_8UC3,
                     map.data + GST_VIDEO_INFO_PLANE_OFFSET(&info, 0),
                     static_cast<std::size_t>(GST_VIDEO_INFO_PLANE_STRIDE(&info, 0)));
  cv::Mat image = view.clone();
  gst_buffer_unmap(buffer, &map);
  return image;
}

OutputBuffer BufferOf(GstSample* sample) {
  return {RegionsOf(gst_sample_get_buffer(sample)), ImageOf(sample)};
}

}  // namespace

std::string AppSource(const std::string& name, cv::Size size, int rate) {
  return "appsrc name=" + name +
         " format=time caps=\"video/x-raw,format=BGR,width=" + std::to_string(size.width) +
         ",height=" + std::to_string(size.height) + ",framerate=" + std::to_string(rate) + "/1\"";
}

std::string AppSink(const std::string& name) {
  // As fast as frames come, and the end of the stream is not held back until the test has
  // pulled every buffer: it pulls them after the end.
  return "appsink name=" + name + " sync=false wait-on-eos=false";
}

std::string ElementBranch(const std::string& name, cv::Size size, const std::string& properties) {
  return AppSource(name + "-in", size, 10) + " ! tevfiresmoke name=" + name + " " + properties +
         " ! " + AppSink(name + "-out") + " ";
}

void PrintTo(const Region& region, std::ostream* out) {
  *out << region.type << " [" << region.box.x << ", " << region.box.y << ", " << region.box.width
       << ", " << region.box.height << "] " << region.confidence;
}

Pipeline::Pipeline(const std::string& description) {
  GError* error = nullptr;
  _pipeline = gst_parse_launch(description.c_str(), &error);
  if (error != nullptr) {
    const std::string message = error->message;
    g_error_free(error);
    if (_pipeline != nullptr) {
      gst_object_unref(_pipeline);
    }
    throw std::runtime_error("cannot build the pipeline " + description + ": " + message);
  }
}

Pipeline::~Pipeline() {
  gst_element_set_state(_pipeline, GST_STATE_NULL);
  gst_object_unref(_pipeline);
}

GstElement* Pipeline::Element(const std::string& name) const {
  GstElement* element = gst_bin_get_by_name(GST_BIN(_pipeline), name.c_str());
  if (element == nullptr) {
    throw std::runtime_error("the pipeline has no element " + name);
  }
  // The pipeline keeps it alive.
  gst_object_unref(element);
  return element;
}

GstStateChangeReturn Pipeline::Play() {
  return gst_element_set_state(_pipeline, GST_STATE_PLAYING);
}

void Pipeline::Push(const std::string& source, const cv::Mat& frame, GstClockTime pts) {
  GstVideoInfo info;
  gst_video_info_set_format(&info, GST_VIDEO_FORMAT_BGR, static_cast<guint>(frame.cols),
                            static_cast<guint>(frame.rows));
  GstBuffer* buffer = gst_buffer_new_allocate(nullptr, GST_VIDEO_INFO_SIZE(&info), nullptr);
  GstMapInfo map;
  gst_buffer_map(buffer, &map, GST_MAP_WRITE);
  std::memset(map.data, 0, map.size);
  const std::size_t stride = static_cast<std::size_t>(GST_VIDEO_INFO_PLANE_STRIDE(&info, 0));
  for (int row = 0; row < frame.rows; ++row) {
    std::memcpy(map.data + GST_VIDEO_INFO_PLANE_OFFSET(&info, 0) + row * stride, frame.ptr(row),
                static_cast<std::size_t>(frame.cols) * 3);
  }
  gst_buffer_unmap(buffer, &map);
  GST_BUFFER_PTS(buffer) = pts;
  ASSERT_EQ(gst_app_src_push_buffer(GST_APP_SRC(Element(source)), buffer), GST_FLOW_OK);
}

void Pipeline::EndStream(const std::string& source) {
  ASSERT_EQ(gst_app_src_end_of_stream(GST_APP_SRC(Element(source))), GST_FLOW_OK);
}

bool Pipeline::Seek(GstClockTime position) {
  return gst_element_seek_simple(_pipeline, GST_FORMAT_TIME, GST_SEEK_FLAG_FLUSH,
                                 static_cast<gint64>(position)) == TRUE;
}

bool Pipeline::Keep(GstMessage* message) {
  bool ends = false;
  switch (GST_MESSAGE_TYPE(message)) {
    case GST_MESSAGE_ELEMENT:
      _elementMessages.push_back(StructureJson(GST_OBJECT_NAME(GST_MESSAGE_SRC(message)),
                                               gst_message_get_structure(message)));
      break;
    case GST_MESSAGE_ERROR: {
      GError* error = nullptr;
      gchar* debug = nullptr;
      gst_message_parse_error(message, &error, &debug);
      _errors.push_back(NoticeOf(message, error, debug));
      ends = true;
      break;
    }
    case GST_MESSAGE_WARNING: {
      GError* error = nullptr;
      gchar* debug = nullptr;
      gst_message_parse_warning(message, &error, &debug);
      _warnings.push_back(NoticeOf(message, error, debug));
      break;
    }
    case GST_MESSAGE_EOS:
      ends = true;
      break;
    default:
      break;
  }
  gst_message_unref(message);
  return ends;
}

void Pipeline::RunToEnd() {
  GstBus* bus = gst_element_get_bus(_pipeline);
  for (;;) {
    GstMessage* message = gst_bus_timed_pop(bus, kPatience);
    if (message == nullptr) {
      ADD_FAILURE() << "the pipeline neither ended nor failed";
      break;
    }
    if (Keep(message)) {
      break;
    }
  }
  gst_object_unref(bus);
}

void Pipeline::Collect() {
  GstBus* bus = gst_element_get_bus(_pipeline);
  while (GstMessage* message = gst_bus_pop(bus)) {
    Keep(message);
  }
  gst_object_unref(bus);
}

void Pipeline::StopToReady() {
  ASSERT_EQ(gst_element_set_state(_pipeline, GST_STATE_READY), GST_STATE_CHANGE_SUCCESS);
  Collect();
}

void Pipeline::RunBranches(const std::vector<std::string>& branches, const cv::Mat& frame,
                           int frames) {
  ASSERT_NE(Play(), GST_STATE_CHANGE_FAILURE);
  for (int index = 0; index < frames; ++index) {
    for (const std::string& branch : branches) {
      Push(branch + "-in", frame, index * 100 * GST_MSECOND);
    }
  }
  for (const std::string& branch : branches) {
    EndStream(branch + "-in");
  }
  RunToEnd();
}

std::vector<OutputBuffer> Pipeline::Output(const std::string& sink) const {
  std::vector<OutputBuffer> buffers;
  GstAppSink* appSink = GST_APP_SINK(Element(sink));
  while (GstSample* sample = gst_app_sink_try_pull_sample(appSink, 0)) {
    buffers.push_back(BufferOf(sample));
    gst_sample_unref(sample);
  }
  return buffers;
}

OutputBuffer Pipeline::Next(const std::string& sink) const {
  GstSample* sample = gst_app_sink_try_pull_sample(GST_APP_SINK(Element(sink)), kPatience);
  if (sample == nullptr) {
    throw std::runtime_error("no buffer came out of " + sink);
  }
  OutputBuffer buffer = BufferOf(sample);
  gst_sample_unref(sample);
  return buffer;
}

}  // namespace tevgsttest
