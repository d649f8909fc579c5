// Scripted models in a model folder, as tev-host, tev-eval and tevfiresmoke load them: scripts
// of the stand-in inference library for a detector of fire, other and smoke.
#pragma once

#include "tests/support/model_folder.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>
#include <opencv2/core.hpp>

#include <string>

namespace tevtest {

using nlohmann::json;

// One detection of a script, its box in frame pixels.
json ScriptedDetection(const cv::Rect& box, double confidence = 0.9, int classId = 0);

// A detector script in frame coordinates, one entry per call; with log, the model appends each
// call to detector.calls.jsonl beside its script.
json DetectorScript(const json& calls, const std::string& after = "empty", bool log = false);

// The detector's script and class names, and a filter that finds nothing: all Initialize needs.
void WriteScriptedModels(const ModelFolder& folder, const json& detectorScript);

// A test with such a folder, models; the derived test's SetUp picks the detector's first script.
class ScriptedModelsTest : public testing::Test {
 protected:
  // Writes the folder with script as the detector's, replacing the one before.
  void UseDetector(const json& script) const { WriteScriptedModels(models, script); }

  ModelFolder models;
};

}  // namespace tevtest
