#include "platform/tevlib/tracking/camera_trackers.h"

#include "platform/tevlib/view_placement.h"

namespace tevlib {

void CameraTrackers::Assign(const cv::Mat& view, const std::string& cameraId,
                            std::vector<KESTROVIA::Object>& detections) {
  const cv::Point2f offset = LocateView(view).view.tl();
  std::vector<TrackInput> inputs;
  inputs.reserve(detections.size());
  for (const KESTROVIA::Object& detection : detections) {
    const cv::Rect2f box(detection.box);
    inputs.push_back(
        {cv::Rect2f(box.tl() + offset, box.size()), detection.confidence, detection.classId});
  }
  const std::vector<int> ids = _trackers[cameraId].Update(inputs);
  for (std::size_t i = 0; i < detections.size(); ++i) {
    detections[i].trackId = ids[i];
  }
}

}  // namespace tevlib
