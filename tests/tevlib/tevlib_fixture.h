// An instance of the stand-in library in a fresh model folder, with a clean call record that
// is on.
#pragma once

#include "inference/TEVLIB.h"
#include "platform/tevlib/call_record.h"
#include "tests/support/call_recording.h"
#include "tests/support/model_folder.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

class TevlibTest : public testing::Test {
 protected:
  using Instance = std::unique_ptr<KESTROVIA::TEVLIB, void (*)(KESTROVIA::TEVLIB*)>;

  void SetUp() override { tevlib::ClearRecordedCalls(); }

  static Instance MakeInstance() {
    return Instance(KESTROVIA::TEVLIB::Create(), &KESTROVIA::TEVLIB::Destroy);
  }

  // Loads "detector" with the given script; returns the load's result.
  int Load(KESTROVIA::TEVLIB& instance, const std::string& script) {
    folder.WriteScript("detector", script);
    return LoadDetector(instance);
  }

  int LoadDetector(KESTROVIA::TEVLIB& instance) {
    return instance.LoadModelFromFolder("", "detector", "detector.names", 0.25f, 0.25f, 0.5f, 1, 30,
                                        1, 0, folder.Path().c_str(), labelMap);
  }

  std::vector<KESTROVIA::Object> Run(KESTROVIA::TEVLIB& instance, const cv::Mat& image,
                                     const char* cameraId = "cam") {
    std::vector<KESTROVIA::Object> results;
    instance.RunInference(image, cameraId, results);
    return results;
  }

  tevtest::CallRecording recording;
  tevtest::ModelFolder folder;
  std::string labelMap;
};
