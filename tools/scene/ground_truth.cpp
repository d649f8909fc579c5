#include "tools/scene/ground_truth.h"

namespace tevscene {

void GroundTruth::Add(int frame, const std::vector<SceneObject>& objects) {
  for (const SceneObject& object : objects) {
    const auto open = _openRuns.find(object.kind);
    if (open != _openRuns.end() && _runs[open->second].lastFrame == frame - 1) {
      Run& run = _runs[open->second];
      run.lastFrame = frame;
      run.boxes.emplace_back(frame, object.box);
    } else {
      _openRuns[object.kind] = _runs.size();
      _runs.push_back({object.kind, frame, frame, {{frame, object.box}}});
    }
  }
}

nlohmann::ordered_json GroundTruth::ToJson(const std::string& clip, double fps, int frames,
                                           cv::Size size) const {
  nlohmann::ordered_json events = nlohmann::ordered_json::array();
  nlohmann::ordered_json distractors = nlohmann::ordered_json::array();
  for (const Run& run : _runs) {
    nlohmann::ordered_json boxes = nlohmann::ordered_json::array();
    for (const auto& [frame, box] : run.boxes) {
      boxes.push_back({{"frame", frame}, {"box", {box.x, box.y, box.width, box.height}}});
    }
    if (run.kind == "fire" || run.kind == "smoke") {
      events.push_back({{"class", run.kind},
                        {"firstFrame", run.firstFrame},
                        {"lastFrame", run.lastFrame},
                        {"boxes", boxes}});
    } else {
      distractors.push_back({{"kind", run.kind},
                             {"firstFrame", run.firstFrame},
                             {"lastFrame", run.lastFrame},
                             {"boxes", boxes}});
    }
  }
  return {{"clip", clip},
          {"fps", fps},
          {"frames", frames},
          {"width", size.width},
          {"height", size.height},
          {"events", events},
          {"distractors", distractors}};
}

}  // namespace tevscene
