// The settings file of tev-host: what it changes in detection, and how a bad one is
// refused before any frame runs.
#include "tests/host/host_fixture.h"
#include "tests/support/hostile_files.h"

#include <fstream>

namespace {

using tevtest::HostTest;
using tevtest::json;

class SettingsFile : public HostTest {
 protected:
  void SetUp() override {
    HostTest::SetUp();
    UseDetector(tevtest::FireOnEveryCall(/*log=*/true));
    tevtest::WriteVideo(Video(), {320, 240}, 10, 10.0);
  }

  std::string Video() const { return Scratch("hall.avi"); }

  std::string Settings(const std::string& content) const {
    const std::string path = Scratch("settings.json");
    std::ofstream(path) << content;
    return path;
  }

  std::size_t FramesWithDetections(const std::vector<std::string>& extra) const {
    std::vector<std::string> args = {Video(), "--events", Scratch("events.jsonl")};
    args.insert(args.end(), extra.begin(), extra.end());
    const tevtest::ProgramRun run = Host(args);
    EXPECT_EQ(run.exitStatus, 0) << run.err;
    return tevtest::EventsOfKind(tevtest::ReadJsonLines(Scratch("events.jsonl")), "detections")
        .size();
  }
};

struct SettingsCase {
  const char* what;
  const char* settings;
  bool reported;
};

void PrintTo(const SettingsCase& c, std::ostream* out) {
  *out << c.what;
}

class SettingsEffect : public SettingsFile, public testing::WithParamInterface<SettingsCase> {};

TEST_P(SettingsEffect, DecidesWhetherTheFireIsReported) {
  ASSERT_GT(FramesWithDetections({}), 0u) << "reported without settings";
  const std::size_t reported = FramesWithDetections({"--settings", Settings(GetParam().settings)});
  if (GetParam().reported) {
    EXPECT_GT(reported, 0u);
  } else {
    EXPECT_EQ(reported, 0u);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Settings, SettingsEffect,
    testing::Values(
        SettingsCase{"ExclusiveRectangleOverTheFire", R"({"ExclusiveROIs": [[90, 70, 60, 60]]})",
                     false},
        SettingsCase{"ExclusiveRectangleElsewhere", R"({"ExclusiveROIs": [[200, 150, 50, 50]]})",
                     true},
        SettingsCase{"SmallestObjectLargerThanTheFire", R"({"MinObjectSize": 5})", false},
        SettingsCase{"EveryValueGiven",
                     R"({"SmokeScore": 0.9, "Sensitivity": 0.2, "MinObjectSize": 0.01})", true},
        SettingsCase{"NothingGiven", "{}", true}),
    [](const testing::TestParamInfo<SettingsCase>& info) { return info.param.what; });

struct BadSettingsCase {
  const char* what;
  const char* settings;  // null: the file does not exist
  const char* problem;   // on tev-host's line on standard error
};

void PrintTo(const BadSettingsCase& c, std::ostream* out) {
  *out << c.what;
}

class BadSettings : public SettingsFile, public testing::WithParamInterface<BadSettingsCase> {};

TEST_P(BadSettings, AreRefusedWithExitStatus2NamingTheProblemBeforeAnyFrame) {
  const std::string path =
      GetParam().settings != nullptr ? Settings(GetParam().settings) : Scratch("missing.json");
  const tevtest::ProgramRun run = Host({Video(), "--settings", path});

  EXPECT_EQ(run.exitStatus, 2);
  const std::vector<std::string> lines = tevtest::Lines(run.err);
  ASSERT_FALSE(lines.empty());
  EXPECT_EQ(lines.back().rfind("tev-host: ", 0), 0u) << run.err;
  EXPECT_NE(lines.back().find(GetParam().problem), std::string::npos) << run.err;
  EXPECT_TRUE(DetectorCalls().empty());
}

TEST_F(SettingsFile, HostileFilesAreRefusedWithExitStatus2NamingTheCause) {
  for (const tevtest::HostileFile& hostile : tevtest::HostileJsonFiles(work)) {
    SCOPED_TRACE(hostile.what);
    const tevtest::ProgramRun run = Host({Video(), "--settings", hostile.path});
    EXPECT_EQ(run.exitStatus, 2);
    EXPECT_NE(run.err.find("tev-host: settings file " + hostile.path + " " + hostile.problem),
              std::string::npos)
        << run.err;
    EXPECT_LT(run.err.size(), tevtest::kLongestRefusal) << run.err;
  }
  EXPECT_TRUE(DetectorCalls().empty());
}

INSTANTIATE_TEST_SUITE_P(
    Settings, BadSettings,
    testing::Values(BadSettingsCase{"Missing", nullptr, "does not exist: check its path"},
                    BadSettingsCase{"MalformedJson", R"({"SmokeScore": 0.7,)",
                                    "is not valid JSON: [json.exception.parse_error"},
                    BadSettingsCase{"NumberBeyondAnyType", R"({"SmokeScore": 1E400})",
                                    "is not valid JSON: [json.exception.out_of_range"},
                    BadSettingsCase{"NotAnObject", "[0.7]", "must hold a JSON object"},
                    BadSettingsCase{"UnknownKey", R"({"SmokeLevel": 0.7})",
                                    "\"SmokeLevel\" is not a setting of this detector"},
                    BadSettingsCase{"TextForANumber", R"({"SmokeScore": "high"})",
                                    "\"SmokeScore\" must be a number from 0 to 1, not \"high\""},
                    BadSettingsCase{"NumberOutOfRange", R"({"MinObjectSize": 50})",
                                    "\"MinObjectSize\" must be a number from 0 to 10"},
                    BadSettingsCase{"RectangleOfThreeNumbers",
                                    R"({"ExclusiveROIs": [[10, 20, 30]]})",
                                    "\"ExclusiveROIs\" must be a list of rectangles"},
                    BadSettingsCase{"RectangleWithoutWidth",
                                    R"({"ExclusiveROIs": [[10, 20, 0, 30]]})",
                                    "rectangle 1 is [10,20,0,30]"},
                    BadSettingsCase{"RegionsNotAList", R"({"ExclusiveROIs": {"x": 10}})",
                                    "\"ExclusiveROIs\" must be a list of rectangles"}),
    [](const testing::TestParamInfo<BadSettingsCase>& info) { return info.param.what; });

}  // namespace
