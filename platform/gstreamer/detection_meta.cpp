#include "platform/gstreamer/detection_meta.h"

#include <gst/video/gstvideometa.h>

namespace tevgst {

void AttachDetections(GstBuffer* buffer, const std::vector<CustomObject>& detections,
                      cv::Size frameSize) {
  for (const CustomObject& detection : detections) {
    const cv::Rect box = detection.box & cv::Rect(cv::Point(0, 0), frameSize);
    if (box.empty()) {
      continue;
    }
    // The module reports class 0 (fire) and class 2 (smoke) only.
    const char* type = detection.classId == 2 ? "smoke" : "fire";
    GstVideoRegionOfInterestMeta* meta = gst_buffer_add_video_region_of_interest_meta(
        buffer, type, static_cast<guint>(box.x), static_cast<guint>(box.y),
        static_cast<guint>(box.width), static_cast<guint>(box.height));
    gst_video_region_of_interest_meta_add_param(
        meta, gst_structure_new("detection", "confidence", G_TYPE_DOUBLE,
                                static_cast<double>(detection.confidence), nullptr));
  }
}

}  // namespace tevgst
