// Drives the detector frame by frame with scripted models.
#pragma once

#include "tests/detector/detector_fixture.h"

#include <opencv2/core.hpp>

#include <initializer_list>
#include <sstream>
#include <string>
#include <vector>

namespace tevtest {

// One scripted detection as JSON.
inline std::string Detection(int classId, double confidence, const cv::Rect& box, int trackId = 1) {
  std::ostringstream json;
  json << R"({"classId":)" << classId << R"(,"trackId":)" << trackId << R"(,"confidence":)"
       << confidence << R"(,"box":[)" << box.x << ',' << box.y << ',' << box.width << ','
       << box.height << "]}";
  return json.str();
}

// A script serving the given detection lists, one per call, then nothing.
inline std::string Script(const std::vector<std::vector<std::string>>& calls,
                          const std::string& options = "") {
  std::string json = "{" + options + (options.empty() ? "" : ",") + R"("calls":[)";
  for (std::size_t call = 0; call < calls.size(); ++call) {
    json += call == 0 ? "[" : ",[";
    for (std::size_t index = 0; index < calls[call].size(); ++index) {
      json += (index == 0 ? "" : ",") + calls[call][index];
    }
    json += "]";
  }
  return json + "]}";
}

// The same detection list for every call.
inline std::string Always(const std::vector<std::string>& detections,
                          const std::string& options = "") {
  return Script({detections}, options + (options.empty() ? "" : ",") + R"("after":"repeat-last")");
}

inline cv::Mat Frame(int width, int height, const cv::Scalar& bgr = cv::Scalar::all(0)) {
  return cv::Mat(height, width, CV_8UC3, bgr);
}

// The RunInference calls the stand-in library received for one model.
inline std::vector<tevlib::RecordedCall> RunsOf(const std::string& model) {
  std::vector<tevlib::RecordedCall> runs;
  for (tevlib::RecordedCall& call : tevlib::RecordedCalls(tevlib::CallKind::RunInference)) {
    if (call.modelName == model) {
      runs.push_back(std::move(call));
    }
  }
  return runs;
}

}  // namespace tevtest

class StageTest : public DetectorTest {
 protected:
  // Writes the scripts and initialises the detector with them.
  void Models(const std::string& detectorScript, const std::string& filterScript = "{}",
              float threshold = 0.5f) {
    folder.WriteScript("detector", detectorScript);
    folder.WriteScript("filter", filterScript);
    ASSERT_TRUE(Initialize(threshold));
    tevlib::ClearRecordedCalls();
  }

  // Holds area as if a search had just reported a detection around it.
  void Follow(const cv::Rect& area) {
    peer.detectedArea() = area;
    peer.detectionActive() = true;
  }

  std::vector<CustomObject> Run(const cv::Mat& frame, const std::string& cameraId = "cam") {
    return detector.RunInference(frame, cameraId);
  }

  // Records count detections of a track at box, as earlier follow frames would have.
  void SeedTrack(int trackId, int count, const cv::Rect& box, float confidence = 0.9f,
                 int classId = 0) {
    for (int index = 0; index < count; ++index) {
      peer.UpdateTrackHistory(trackId, classId, box, confidence, 0.0);
    }
  }

  bool Recorded(int trackId) { return peer.trackHistory().count(trackId) != 0; }
};
