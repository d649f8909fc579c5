// tev-scene's scenarios through tev-host with the model folder the project ships
// (models/default): a fire raises an alarm soon after it appears, the distractors and an
// excluded fire raise none.
#include "tests/host/program_run.h"
#include "tests/support/model_folder.h"
#include "tests/support/read_file.h"
#include "tests/support/source_files.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

using nlohmann::json;

constexpr double kLatestAlarmMs = 3000.0;

class SceneScenario : public testing::Test {
 protected:
  // Writes a small clip of scenario: 320 x 240 at 25 fps, the flame from 2 s on.
  void Generate(const std::string& scenario, const std::string& seconds = "5",
                const std::string& seed = "1") const {
    const tevtest::ProgramRun run = tevtest::RunProgram(
        TEV_SCENE_FILE, {scenario, "--out", work.Path(), "--width", "320", "--height", "240",
                         "--seconds", seconds, "--seed", seed});
    ASSERT_EQ(run.exitStatus, 0) << run.err;
  }

  // The events of tev-host on the scenario's clip with models/default.
  std::vector<json> Events(const std::string& scenario, std::vector<std::string> extra = {}) const {
    std::vector<std::string> args = {work.File(scenario + ".avi"), "--models",
                                     tevtest::SourcePath("models/default"), "--events",
                                     work.File(scenario + ".jsonl")};
    args.insert(args.end(), extra.begin(), extra.end());
    const tevtest::ProgramRun run = tevtest::RunProgram(TEV_HOST_FILE, args);
    EXPECT_EQ(run.exitStatus, 0) << run.err;
    return tevtest::ReadJsonLines(work.File(scenario + ".jsonl"));
  }

  json Truth(const std::string& scenario) const {
    return tevtest::ReadJson(work.File(scenario + ".truth.json"));
  }

  tevtest::ModelFolder work;
};

TEST_F(SceneScenario, FireRaisesAnAlarmWithinThreeSecondsOfTheFlamesAppearance) {
  Generate("fire");
  const json truth = Truth("fire");
  ASSERT_EQ(truth.at("events").size(), 1u);
  const json& flame = truth["events"][0];
  EXPECT_EQ(flame.at("class"), "fire");
  EXPECT_EQ(flame.at("firstFrame"), 50);
  EXPECT_EQ(flame.at("lastFrame"), 124);
  const double appearsMs =
      flame["firstFrame"].get<double>() * 1000.0 / truth.at("fps").get<double>();

  const std::vector<json> events = Events("fire");
  ASSERT_FALSE(events.empty());
  const json& first = events.front();
  ASSERT_EQ(first.at("event"), "alarm-start");
  EXPECT_GE(first.at("timestampMs").get<double>(), appearsMs);
  EXPECT_LE(first.at("timestampMs").get<double>(), appearsMs + kLatestAlarmMs);

  // The first detection lies on the flame the ground truth gives for its frame.
  const json& detection = events.at(1).at("detections").at(0);
  const int frame = events[1].at("frame");
  const json& box = flame.at("boxes").at(frame - 50).at("box");
  ASSERT_EQ(flame["boxes"][frame - 50].at("frame"), frame);
  const cv::Rect truthBox(box[0], box[1], box[2], box[3]);
  const json& found = detection.at("box");
  EXPECT_GT((truthBox & cv::Rect(found[0], found[1], found[2], found[3])).area(), 0)
      << detection << " vs " << box;
}

struct QuietCase {
  const char* scenario;
  const char* distractor;  // what the ground truth lists, or null
  bool withSettings;       // the settings file written with the scenario
};

void PrintTo(const QuietCase& c, std::ostream* out) {
  *out << c.scenario;
}

class QuietScenario : public SceneScenario, public testing::WithParamInterface<QuietCase> {};

TEST_P(QuietScenario, RaisesNoAlarm) {
  const QuietCase& scenario = GetParam();
  Generate(scenario.scenario);
  if (scenario.distractor != nullptr) {
    const json truth = Truth(scenario.scenario);
    ASSERT_EQ(truth.at("distractors").size(), 1u);
    EXPECT_EQ(truth["distractors"][0].at("kind"), scenario.distractor);
    EXPECT_EQ(truth["distractors"][0].at("boxes").size(), 125u);
  }
  std::vector<std::string> settings;
  if (scenario.withSettings) {
    settings = {"--settings", work.File(std::string(scenario.scenario) + ".settings.json")};
  }
  const std::vector<json> events = Events(scenario.scenario, settings);
  EXPECT_TRUE(events.empty()) << events.front();
}

INSTANTIATE_TEST_SUITE_P(Scenes, QuietScenario,
                         testing::Values(QuietCase{"no-fire", "person", false},
                                         QuietCase{"lamp", "lamp", false},
                                         QuietCase{"excluded", nullptr, true}),
                         [](const testing::TestParamInfo<QuietCase>& info) {
                           std::string name = info.param.scenario;
                           name.erase(std::remove(name.begin(), name.end(), '-'), name.end());
                           return name;
                         });

TEST_F(SceneScenario, ExcludedFlameIsReportedWithoutItsSettings) {
  Generate("excluded");
  bool alarm = false;
  for (const json& event : Events("excluded")) {
    alarm = alarm || event.at("event") == "alarm-start";
  }
  EXPECT_TRUE(alarm);
}

TEST_F(SceneScenario, TheSameSeedGivesTheSameClipAndAnotherSeedAnotherOne) {
  const auto clip = [this](const std::string& seed) {
    Generate("no-fire", "1", seed);
    return tevtest::ReadFile(work.File("no-fire.avi"));
  };
  const std::string first = clip("5");
  EXPECT_EQ(clip("5"), first);
  EXPECT_NE(clip("6"), first);
}

}  // namespace
