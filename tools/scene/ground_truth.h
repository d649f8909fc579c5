// The ground truth of a clip as JSON: its frame rate, and every fire or smoke event and
// every distractor as a run of frames with a box per frame. Integrators write the same format for
// their own footage, where boxes may be left out.
#pragma once

#include "tools/scene/scenario.h"

#include <nlohmann/json.hpp>

#include <map>
#include <string>
#include <vector>

namespace tevscene {

class GroundTruth {
 public:
  // Records what frame shows. Frames are added in order.
  void Add(int frame, const std::vector<SceneObject>& objects);

  // "events" holds the fire and smoke runs, "distractors" everything else.
  nlohmann::ordered_json ToJson(const std::string& clip, double fps, int frames,
                                cv::Size size) const;

 private:
  struct Run {
    std::string kind;
    int firstFrame = 0;
    int lastFrame = 0;
    std::vector<std::pair<int, cv::Rect>> boxes;
  };

  std::vector<Run> _runs;
  std::map<std::string, std::size_t> _openRuns;  // kind -> index in _runs
};

}  // namespace tevscene
