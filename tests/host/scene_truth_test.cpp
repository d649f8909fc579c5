// The ground truth tev-scene writes for each scenario: fires and smoke as events, the false
// alarm sources as distractors, from the frame they appear on; and files named by --name.
#include "tests/host/program_run.h"
#include "tests/support/model_folder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace {

using nlohmann::json;

struct TruthCase {
  const char* scenario;
  const char* event;       // the class of the one event, or null
  const char* distractor;  // the kind of the one distractor, or null
  long firstFrame;         // of the event or the distractor
};

void PrintTo(const TruthCase& c, std::ostream* out) {
  *out << c.scenario;
}

class SceneTruth : public testing::TestWithParam<TruthCase> {
 protected:
  // 2 s of 160 x 120 at 10 frames/s; fire and smoke from frame 5.
  json Generate(const std::string& scenario, std::vector<std::string> extra = {}) const {
    std::vector<std::string> args = {scenario,   "--out",      work.Path(), "--width", "160",
                                     "--height", "120",        "--fps",     "10",      "--seconds",
                                     "2",        "--flame-at", "0.5"};
    args.insert(args.end(), extra.begin(), extra.end());
    const tevtest::ProgramRun run = tevtest::RunProgram(TEV_SCENE_FILE, args);
    EXPECT_EQ(run.exitStatus, 0) << run.err;
    return tevtest::ReadJson(work.File(scenario + ".truth.json"));
  }

  tevtest::ModelFolder work;
};

TEST_P(SceneTruth, ListsWhatTheClipShowsFromItsFirstFrame) {
  const TruthCase& c = GetParam();
  const json truth = Generate(c.scenario);
  EXPECT_EQ(truth.at("scenario"), c.scenario);
  const json& events = truth.at("events");
  const json& distractors = truth.at("distractors");
  ASSERT_EQ(events.size(), c.event != nullptr ? 1u : 0u) << truth;
  ASSERT_EQ(distractors.size(), c.distractor != nullptr ? 1u : 0u) << truth;
  const json& run = c.event != nullptr ? events[0] : distractors[0];
  EXPECT_EQ(run.at(c.event != nullptr ? "class" : "kind"),
            c.event != nullptr ? c.event : c.distractor);
  EXPECT_EQ(run.at("firstFrame"), c.firstFrame);
  EXPECT_EQ(run.at("boxes").size(), run.at("lastFrame").get<std::size_t>() - c.firstFrame + 1);
  for (const json& box : run.at("boxes")) {
    const cv::Rect rect(box["box"][0], box["box"][1], box["box"][2], box["box"][3]);
    EXPECT_FALSE(rect.empty()) << box;
    EXPECT_EQ(rect & cv::Rect(0, 0, 160, 120), rect) << box;
  }
}

INSTANTIATE_TEST_SUITE_P(Scenarios, SceneTruth,
                         testing::Values(TruthCase{"small-fire", "fire", nullptr, 5},
                                         TruthCase{"large-fire", "fire", nullptr, 5},
                                         TruthCase{"edge-fire", "fire", nullptr, 5},
                                         TruthCase{"corner-fire", "fire", nullptr, 5},
                                         TruthCase{"smoke", "smoke", nullptr, 5},
                                         TruthCase{"blinking-light", nullptr, "blinking-light", 0},
                                         TruthCase{"sunset", nullptr, "sunset", 0},
                                         TruthCase{"sun-glare", nullptr, "sun-glare", 0},
                                         TruthCase{"floor-reflection", nullptr, "reflection", 0},
                                         TruthCase{"orange-person", nullptr, "person", 0},
                                         TruthCase{"red-car", nullptr, "car", 10},
                                         TruthCase{"flickering-screen", nullptr, "screen", 0}),
                         [](const testing::TestParamInfo<TruthCase>& info) {
                           std::string name = info.param.scenario;
                           name.erase(std::remove(name.begin(), name.end(), '-'), name.end());
                           return name;
                         });

// The flame box in the frame of the flame's first appearance.
cv::Rect FirstFlame(const json& truth) {
  const json& box = truth.at("events").at(0).at("boxes").at(0).at("box");
  return cv::Rect(box[0], box[1], box[2], box[3]);
}

TEST_F(SceneTruth, EdgeAndCornerFlamesAreCutByTheFrame) {
  const cv::Rect edge = FirstFlame(Generate("edge-fire"));
  EXPECT_EQ(edge.x, 0);
  const cv::Rect corner = FirstFlame(Generate("corner-fire"));
  EXPECT_EQ(corner.x + corner.width, 160);
  EXPECT_EQ(corner.y + corner.height, 120);
}

TEST_F(SceneTruth, SmallFlamesAreSmallerAndLargeOnesLargerThanTheFire) {
  const int fire = FirstFlame(Generate("fire")).area();
  EXPECT_LT(FirstFlame(Generate("small-fire")).area() * 4, fire);
  EXPECT_GT(FirstFlame(Generate("large-fire")).area(), fire * 3);
}

TEST_F(SceneTruth, NameOptionNamesTheFilesAndKeepsTheScenario) {
  const tevtest::ProgramRun run =
      tevtest::RunProgram(TEV_SCENE_FILE, {"small-fire", "--out", work.Path(), "--name", "tiny",
                                           "--width", "160", "--height", "120", "--seconds", "1"});
  ASSERT_EQ(run.exitStatus, 0) << run.err;
  EXPECT_TRUE(std::filesystem::exists(work.File("tiny.avi")));
  const json truth = tevtest::ReadJson(work.File("tiny.truth.json"));
  EXPECT_EQ(truth.at("clip"), "tiny.avi");
  EXPECT_EQ(truth.at("scenario"), "small-fire");
  EXPECT_FALSE(std::filesystem::exists(work.File("small-fire.avi")));

  const tevtest::ProgramRun path =
      tevtest::RunProgram(TEV_SCENE_FILE, {"fire", "--out", work.Path(), "--name", "sub/clip"});
  EXPECT_EQ(path.exitStatus, 2);
  EXPECT_NE(path.err.find("a name, not a path"), std::string::npos) << path.err;
}

}  // namespace
