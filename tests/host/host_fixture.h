// Runs the built tev-host on small videos with scripted model folders.
#pragma once

#include "tests/host/program_run.h"
#include "tests/support/model_folder.h"
#include "tests/support/scripted_models.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>
#include <opencv2/core.hpp>

#include <algorithm>
#include <string>
#include <vector>

namespace tevtest {

// Where the scripted detector of the host tests sees fire, in frame pixels.
inline const cv::Rect kFire(100, 80, 40, 40);

// A detector script that sees the fire at kFire on every call: a detection on every frame.
inline json FireOnEveryCall(bool log) {
  return DetectorScript(json::array({json::array({ScriptedDetection(kFire)})}), "repeat-last", log);
}

class HostTest : public ScriptedModelsTest {
 protected:
  // A detector that finds nothing and logs its calls, for DetectorCalls.
  void SetUp() override { UseDetector(DetectorScript(json::array(), "empty", /*log=*/true)); }

  // tev-host with args and the scripted models, unless args name another model folder.
  ProgramRun Host(std::vector<std::string> args) const {
    if (std::find(args.begin(), args.end(), "--models") == args.end()) {
      args.insert(args.begin(), {"--models", models.Path()});
    }
    return RunProgram(TEV_HOST_FILE, args);
  }

  // A file in a scratch folder of the test.
  std::string Scratch(const std::string& name) const { return work.File(name); }

  // The calls the detector models of all the host's detectors received, in order.
  std::vector<json> DetectorCalls() const {
    return ReadJsonLines(models.File("detector.calls.jsonl"));
  }

  ModelFolder work;
};

// The events of one kind ("detections", "alarm-start", "alarm-end").
inline std::vector<json> EventsOfKind(const std::vector<json>& events, const std::string& kind) {
  std::vector<json> found;
  for (const json& event : events) {
    if (event.at("event") == kind) {
      found.push_back(event);
    }
  }
  return found;
}

}  // namespace tevtest
