// Runs the built tev-host on small videos with scripted model folders.
#pragma once

#include "tests/host/program_run.h"
#include "tests/support/model_folder.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>
#include <opencv2/core.hpp>

#include <algorithm>
#include <string>
#include <vector>

namespace tevtest {

using nlohmann::json;

// One detection of a script, its box in frame pixels.
inline json ScriptedDetection(const cv::Rect& box, double confidence = 0.9, int classId = 0) {
  return {{"classId", classId},
          {"trackId", 1},
          {"confidence", confidence},
          {"box", {box.x, box.y, box.width, box.height}}};
}

// A detector script in frame coordinates that logs its calls; one entry per call.
inline json DetectorScript(const json& calls, const std::string& after = "empty") {
  return {{"coordinates", "frame"}, {"after", after}, {"log", true}, {"calls", calls}};
}

class HostTest : public testing::Test {
 protected:
  void SetUp() override {
    models.WriteScript("filter", R"({"calls": []})");
    models.WriteNames("detector", {"fire", "other", "smoke"});
    UseDetector(DetectorScript(json::array()));
  }

  void UseDetector(const json& script) const { models.WriteScript("detector", script.dump()); }

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

  ModelFolder models;
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
