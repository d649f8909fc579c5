// tev-eval run as a user runs it: end to end on two tiny clips of tev-scene with a scripted
// model folder, checking the report's numbers, and its exit status for each kind of failure.
#include "tests/host/program_run.h"
#include "tests/support/model_folder.h"
#include "tests/support/read_file.h"
#include "tests/support/scripted_models.h"

#include <gtest/gtest.h>
#include <opencv2/imgcodecs.hpp>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

namespace {

using nlohmann::json;

// The same script serves both modes' detector models, call n on frame n: weak fire (0.45)
// on frames 10 to 14 and 40 to 44, strong fire (0.9) on frames 15 to 17, nothing else, all
// on the flame of the 160 x 120 "fire" clip.
// At threshold 0.4 the raw mode counts all of them; the module reports the strong fire at
// once when its search finds it, and nothing it has not confirmed.
json WeakAndStrongFire() {
  const json weak = json::array({tevtest::ScriptedDetection({66, 84, 14, 18}, 0.45)});
  const json strong = json::array({tevtest::ScriptedDetection({66, 84, 14, 18}, 0.9)});
  json calls = json::array();
  for (int frame = 0; frame < 45; ++frame) {
    const bool isWeak = (frame >= 10 && frame <= 14) || frame >= 40;
    const bool isStrong = frame >= 15 && frame <= 17;
    calls.push_back(isWeak ? weak : isStrong ? strong : json::array());
  }
  return tevtest::DetectorScript(calls);
}

class TevEval : public tevtest::ScriptedModelsTest {
 protected:
  void SetUp() override { UseDetector(WeakAndStrongFire()); }

  // A 160 x 120 clip of tev-scene at 10 frames/s; the flame of "fire" from frame 10 on.
  std::string Scene(const std::string& scenario, const std::string& seconds) const {
    const tevtest::ProgramRun run = tevtest::RunProgram(
        TEV_SCENE_FILE, {scenario, "--out", work.Path(), "--width", "160", "--height", "120",
                         "--fps", "10", "--seconds", seconds, "--flame-at", "1"});
    EXPECT_EQ(run.exitStatus, 0) << run.err;
    return work.File(scenario + ".avi");
  }

  tevtest::ProgramRun Eval(std::vector<std::string> args) const {
    args.insert(args.end(), {"--models", models.Path(), "--out", work.File("report"), "--threshold",
                             "0.4", "--alarm-gap", "1", "--jobs", "2"});
    return tevtest::RunProgram(TEV_EVAL_FILE, args);
  }

  tevtest::ModelFolder work;
};

json Alarm(long first, long last, long frames, bool falseAlarm) {
  return {{"firstFrame", first},
          {"lastFrame", last},
          {"framesWithDetections", frames},
          {"falseAlarm", falseAlarm}};
}

TEST_F(TevEval, ReportsBothModesAlarmsAndMetricsPerClipAndInTotal) {
  const std::string fire = Scene("fire", "4");      // 40 frames, the fire on 10 to 39
  const std::string quiet = Scene("no-fire", "6");  // 60 frames, no fire
  const tevtest::ProgramRun run = Eval({fire, quiet});
  ASSERT_EQ(run.exitStatus, 0) << run.err;

  const json report = tevtest::ReadJson(work.File("report/report.json"));
  ASSERT_EQ(report.at("clips").size(), 2u);
  const json& fireClip = report["clips"][0];
  const json& quietClip = report["clips"][1];
  EXPECT_EQ(fireClip.at("clip"), fire);
  EXPECT_EQ(fireClip.at("frames"), 40);
  EXPECT_EQ(fireClip.at("width"), 160);

  // The fire: the raw mode alarms on its first frame, the module 5 frames (0.5 s) later.
  const json& event = fireClip.at("events").at(0);
  EXPECT_EQ(event.at("firstFrame"), 10);
  EXPECT_EQ(
      event.at("module"),
      json(
          {{"detected", true}, {"delayFrames", 5}, {"delaySeconds", 0.5}, {"alarmRunning", true}}));
  EXPECT_EQ(
      event.at("raw"),
      json(
          {{"detected", true}, {"delayFrames", 0}, {"delaySeconds", 0.0}, {"alarmRunning", true}}));
  EXPECT_EQ(fireClip["module"].at("alarms"), json::array({Alarm(15, 15, 1, false)}));
  EXPECT_EQ(fireClip["raw"].at("alarms"), json::array({Alarm(10, 17, 8, false)}));

  // No fire: the weak detections on frames 40 to 44 make a second raw alarm.
  EXPECT_TRUE(quietClip.at("events").empty());
  EXPECT_EQ(quietClip.at("distractors").at(0).at("kind"), "person");
  EXPECT_EQ(quietClip["module"].at("alarms"), json::array({Alarm(15, 15, 1, true)}));
  EXPECT_EQ(quietClip["raw"].at("alarms"),
            json::array({Alarm(10, 17, 8, true), Alarm(40, 44, 5, true)}));
  EXPECT_EQ(quietClip["raw"]["summary"].at("falseAlarms"), 2);
  EXPECT_DOUBLE_EQ(quietClip["raw"]["summary"].at("falseAlarmsPerHour").get<double>(), 1200.0);

  // 10 s of video in total.
  const json& module = report.at("total").at("module");
  const json& raw = report["total"].at("raw");
  EXPECT_EQ(module.at("events"), 1);
  EXPECT_EQ(module.at("detected"), 1);
  EXPECT_EQ(module.at("missed"), 0);
  EXPECT_EQ(module.at("falseAlarms"), 1);
  EXPECT_DOUBLE_EQ(module.at("falseAlarmsPerHour").get<double>(), 360.0);
  EXPECT_DOUBLE_EQ(module.at("timeToAlarm").at("medianSeconds").get<double>(), 0.5);
  EXPECT_EQ(raw.at("falseAlarms"), 2);
  EXPECT_DOUBLE_EQ(raw.at("falseAlarmsPerHour").get<double>(), 720.0);
  EXPECT_DOUBLE_EQ(raw.at("timeToAlarm").at("medianFrames").get<double>(), 0.0);
  EXPECT_EQ(module.at("detectionFrames"), json({{"eventFrames", 30},
                                                {"eventFramesWithDetections", 1},
                                                {"otherFrames", 70},
                                                {"otherFramesWithDetections", 1}}));
  EXPECT_EQ(raw.at("detectionFrames").at("otherFramesWithDetections"), 13);
  EXPECT_EQ(module.at("frames"), 100);
  EXPECT_GT(module.at("framesPerSecond").get<double>(), 0.0);
  EXPECT_GT(raw.at("framesPerSecond").get<double>(), 0.0);

  // The Markdown table and the timelines.
  const std::string table = tevtest::ReadFile(work.File("report/report.md"));
  EXPECT_NE(table.find("| false alarms | 1 | 2 |"), std::string::npos) << table;
  EXPECT_NE(table.find("| fire.avi | 160x120 | 1 fire | - | 0 / 0 | 0 / 0 | 0.50 s / 0.00 s |"),
            std::string::npos)
      << table;
  EXPECT_NE(run.out.find("| events detected (own class, on the event's boxes) | 1 of 1 | 1 of 1 |"),
            std::string::npos)
      << run.out;
  // The module's console line, once per clip, goes to standard error: standard output is the
  // table's.
  EXPECT_EQ(run.out.find("CPU detected"), std::string::npos) << run.out;
  EXPECT_EQ(run.out.find("TEVCustomFS"), std::string::npos) << run.out;
  const std::vector<std::string> notes = tevtest::Lines(run.err);
  EXPECT_EQ(std::count(notes.begin(), notes.end(), "CPU detected. Using OpenVINO and ONNX"), 2)
      << run.err;
  for (const char* timeline : {"fire.png", "no-fire.png"}) {
    const cv::Mat image = cv::imread(work.File(std::string("report/timelines/") + timeline));
    EXPECT_EQ(image.cols, 1000) << timeline;
  }
  EXPECT_EQ(fireClip.at("timeline"), "timelines/fire.png");
}

struct FailureCase {
  const char* what;
  const char* truth;  // the clip's ground truth; null keeps tev-scene's, "" removes it
  bool withClip;      // the clip is named on the command line
  int exitStatus;
  const char* problem;
};

void PrintTo(const FailureCase& c, std::ostream* out) {
  *out << c.what;
}

class EvalFailure : public TevEval, public testing::WithParamInterface<FailureCase> {};

TEST_P(EvalFailure, EndsWithItsExitStatusAndALineSayingWhy) {
  const FailureCase& c = GetParam();
  const std::string clip = Scene("fire", "2");  // 20 frames
  if (c.truth != nullptr && std::string(c.truth).empty()) {
    std::filesystem::remove(work.File("fire.truth.json"));
  } else if (c.truth != nullptr) {
    work.WriteFile("fire.truth.json", c.truth);
  }
  const tevtest::ProgramRun run =
      Eval(c.withClip ? std::vector<std::string>{clip} : std::vector<std::string>{});
  EXPECT_EQ(run.exitStatus, c.exitStatus) << run.err;
  EXPECT_NE(run.err.find(std::string("tev-eval: ")), std::string::npos) << run.err;
  EXPECT_NE(run.err.find(c.problem), std::string::npos) << run.err;
  EXPECT_FALSE(std::filesystem::exists(work.File("report/report.json")));
}

INSTANTIATE_TEST_SUITE_P(
    EvalExitStatus, EvalFailure,
    testing::Values(
        FailureCase{"NoClip", nullptr, false, 2, "clips is required"},
        FailureCase{"MissingGroundTruth", "", true, 2, "does not exist"},
        FailureCase{"MalformedGroundTruth", R"({"fps": 10, "events": [)", true, 2,
                    "is not valid JSON"},
        FailureCase{
            "EventBeyondTheClip",
            R"({"fps": 10, "events": [{"class": "fire", "firstFrame": 10, "lastFrame": 20}]})",
            true, 2, "event 1 (fire, frames 10 to 20) lies beyond the clip's 20 frames"}),
    [](const testing::TestParamInfo<FailureCase>& info) { return info.param.what; });

TEST_F(TevEval, ClipThatCannotBeOpenedEndsWithExitStatus3) {
  work.WriteFile("notes.avi", "not a video\n");
  work.WriteFile("notes.truth.json", R"({"fps": 10, "events": []})");
  const tevtest::ProgramRun run = Eval({work.File("notes.avi")});
  EXPECT_EQ(run.exitStatus, 3) << run.err;
  EXPECT_NE(run.err.find("not a video or image"), std::string::npos) << run.err;
}

TEST_F(TevEval, ModelFolderWithoutModelsEndsWithExitStatus4) {
  const std::string clip = Scene("fire", "1");
  tevtest::ModelFolder empty;
  const tevtest::ProgramRun run = tevtest::RunProgram(
      TEV_EVAL_FILE, {clip, "--models", empty.Path(), "--out", work.File("report")});
  EXPECT_EQ(run.exitStatus, 4) << run.err;
  EXPECT_NE(run.err.find("Initialize failed with the model folder"), std::string::npos) << run.err;
}

TEST_F(TevEval, AFrameRateThatDiffersFromTheGroundTruthsIsNamedInShortNumbers) {
  const std::string clip = Scene("fire", "2");  // 10 frames a second
  nlohmann::json truth = tevtest::ReadJson(work.File("fire.truth.json"));
  truth["fps"] = 12.5;
  work.WriteFile("fire.truth.json", truth.dump());
  const tevtest::ProgramRun run = Eval({clip});
  EXPECT_EQ(run.exitStatus, 0) << run.err;
  EXPECT_NE(run.err.find("the video runs at 10 frames/s and its ground truth says 12.5;"),
            std::string::npos)
      << run.err;
}

TEST_F(TevEval, AReportThatCannotBeWrittenEndsWithExitStatus5) {
  const std::string clip = Scene("fire", "1");
  std::filesystem::create_directories(work.File("report"));
  std::filesystem::create_symlink("/dev/full", work.File("report/report.json"));
  const tevtest::ProgramRun run = Eval({clip});
  EXPECT_EQ(run.exitStatus, 5) << run.err;
  EXPECT_NE(
      run.err.find("cannot write " + work.File("report/report.json") + ": No space left on device"),
      std::string::npos)
      << run.err;
  EXPECT_EQ(run.out.find("tev-eval: report in"), std::string::npos) << run.out;
}

}  // namespace
