// Inputs run in parallel, each through a detector object of its own.
#include "tests/host/host_fixture.h"

#include <map>

namespace {

using tevtest::DetectorScript;
using tevtest::HostTest;
using tevtest::json;
using tevtest::ScriptedDetection;

TEST_F(HostTest, TwoInputsInParallelEachHaveTheirOwnDetector) {
  // The scripted fire lies inside the first video's frames and outside the second's.
  UseDetector(DetectorScript(json::array({json::array({ScriptedDetection({240, 160, 60, 60})})}),
                             "repeat-last", /*log=*/true));
  const std::string withFire = Scratch("with-fire.avi");
  const std::string without = Scratch("without.avi");
  tevtest::WriteVideo(withFire, {320, 240}, 30, 10.0);
  tevtest::WriteVideo(without, {224, 224}, 30, 10.0);

  const tevtest::ProgramRun run =
      Host({withFire, without, "--jobs", "2", "--events", Scratch("events.jsonl")});
  ASSERT_EQ(run.exitStatus, 0) << run.err;

  std::map<std::string, int> framesWithFire;
  for (const json& event :
       tevtest::EventsOfKind(tevtest::ReadJsonLines(Scratch("events.jsonl")), "detections")) {
    ++framesWithFire[event.at("input").get<std::string>()];
    EXPECT_EQ(event.at("camera"), "cam0");
  }
  EXPECT_GT(framesWithFire[withFire], 0);
  EXPECT_EQ(framesWithFire.count(without), 0u);

  // A detector of its own per input: each camera's model calls are counted from 0 on.
  std::map<std::string, std::vector<int>> callsByCamera;
  for (const json& call : DetectorCalls()) {
    callsByCamera[call.at("cameraId").get<std::string>()].push_back(call.at("call").get<int>());
  }
  ASSERT_EQ(callsByCamera.size(), 2u);
  for (const auto& [camera, calls] : callsByCamera) {
    ASSERT_EQ(calls.size(), 30u) << camera;
    for (std::size_t index = 0; index < calls.size(); ++index) {
      EXPECT_EQ(calls[index], static_cast<int>(index)) << camera;
    }
  }
}

}  // namespace
