// A detector object beside a model folder whose "detector" and "filter" scripts find
// nothing, with a clean call record that is on, and the CPU engine.
#pragma once

#include "platform/tevlib/call_record.h"
#include "tests/support/call_recording.h"
#include "tests/support/console_capture.h"
#include "tests/support/model_folder.h"
#include "tests/support/peer_test.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

class DetectorTest : public PeerTest {
 protected:
  void SetUp() override {
    unsetenv("TEVLIB_ENGINE_TYPE");
    tevtest::WriteEmptyModels(folder);
    tevlib::ClearRecordedCalls();
  }

  // Initialize with its console lines kept out of the test output.
  bool Initialize(float threshold = 0.5f) {
    tevtest::ConsoleCapture console;
    return detector.Initialize(folder.Path(), threshold, labelMap);
  }

  static std::size_t CountCalls(tevlib::CallKind kind) {
    return tevlib::RecordedCalls(kind).size();
  }

  tevtest::CallRecording recording;
  tevtest::ModelFolder folder;
  std::string labelMap;
};
