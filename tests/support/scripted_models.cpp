#include "tests/support/scripted_models.h"

namespace tevtest {

json ScriptedDetection(const cv::Rect& box, double confidence, int classId) {
  return {{"classId", classId},
          {"trackId", 1},
          {"confidence", confidence},
          {"box", {box.x, box.y, box.width, box.height}}};
}

json DetectorScript(const json& calls, const std::string& after, bool log) {
  json script = {{"coordinates", "frame"}, {"after", after}, {"calls", calls}};
  if (log) {
    script["log"] = true;
  }
  return script;
}

void WriteScriptedModels(const ModelFolder& folder, const json& detectorScript) {
  folder.WriteScript("detector", detectorScript.dump());
  folder.WriteNames("detector", {"fire", "other", "smoke"});
  folder.WriteScript("filter", R"({"calls": []})");
}

}  // namespace tevtest
