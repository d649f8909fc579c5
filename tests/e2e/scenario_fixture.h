// Whole scenarios through the plug-in interface, frame by frame, with scripted models.
#pragma once

#include "interface/TEVCustomModule.h"
#include "platform/tevlib/call_record.h"
#include "tests/stages/stage_fixture.h"
#include "tests/support/call_recording.h"

#include <memory>
#include <string>
#include <vector>

namespace tevtest {

struct ReleaseObject {
  void operator()(ITEVCustomClass* object) const { Release(object); }
};
using Plugin = std::unique_ptr<ITEVCustomClass, ReleaseObject>;

inline const cv::Rect kFireBox(300, 200, 60, 60);  // in the top-left tile of a 1280 x 720 frame
inline const cv::Rect kFollowedArea(170, 70, 320, 320);

// A dark room with a flame whose brightness changes from frame to frame.
inline cv::Mat FlameFrame(int index) {
  cv::Mat frame = Frame(1280, 720, cv::Scalar::all(40));
  frame(kFireBox).setTo(index % 2 == 0 ? cv::Scalar(0, 140, 255) : cv::Scalar(0, 100, 200));
  return frame;
}

// The detector sees the flame for `frames` calls, then nothing.
inline std::string FlameScript(int frames, int classId = 0) {
  return Script(
      std::vector<std::vector<std::string>>(frames, {Detection(classId, 0.9, kFireBox, 1)}),
      R"("coordinates":"frame")");
}

class Scenario : public testing::Test {
 protected:
  void SetUp() override {
    unsetenv("TEVLIB_ENGINE_TYPE");
    tevlib::ClearRecordedCalls();
  }

  Plugin Start(const std::string& detectorScript, const std::string& filterScript = "{}",
               const CustomParams* settings = nullptr) {
    folder.WriteScript("detector", detectorScript);
    folder.WriteScript("filter", filterScript);
    Plugin plugin(Create());
    std::string labelMap;
    tevtest::ConsoleCapture console;
    EXPECT_TRUE(plugin->Initialize(folder.Path(), 0.5f, labelMap));
    if (settings != nullptr) {
      EXPECT_TRUE(plugin->SetParameters(*settings));
    }
    tevlib::ClearRecordedCalls();
    return plugin;
  }

  static std::vector<cv::Rect> DetectorViews() {
    std::vector<cv::Rect> views;
    for (const tevlib::RecordedCall& call : RunsOf("detector")) {
      views.push_back(call.view);
    }
    return views;
  }

  tevtest::CallRecording recording;
  tevtest::ModelFolder folder;
};

}  // namespace tevtest
