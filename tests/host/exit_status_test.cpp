// How tev-host ends: its exit status and its one line on standard error for each kind of
// failure, and --print-schema.
#include "tests/host/host_fixture.h"

#include <filesystem>
#include <fstream>

namespace {

using tevtest::HostTest;
using tevtest::json;

struct FailureCase {
  const char* what;
  std::vector<std::string> args;  // "<video>" is a readable video, "<scratch>/" the scratch folder
  int exitStatus;
  const char* problem;
};

void PrintTo(const FailureCase& c, std::ostream* out) {
  *out << c.what;
}

class Failure : public HostTest, public testing::WithParamInterface<FailureCase> {
 protected:
  std::vector<std::string> Args() const {
    std::vector<std::string> args;
    for (std::string arg : GetParam().args) {
      if (arg == "<video>") {
        arg = Scratch("hall.avi");
      } else if (arg.rfind("<scratch>/", 0) == 0) {
        arg = Scratch(arg.substr(10));
      }
      args.push_back(arg);
    }
    return args;
  }
};

TEST_P(Failure, EndsWithItsExitStatusAndOneLineSayingWhy) {
  tevtest::WriteVideo(Scratch("hall.avi"), {320, 240}, 3, 10.0);
  std::filesystem::create_directories(Scratch("empty"));
  std::filesystem::create_directories(Scratch("no-images"));
  std::ofstream(Scratch("no-images/notes.txt")) << "not an image\n";
  std::ofstream(Scratch("notes.avi")) << "not a video\n";

  const tevtest::ProgramRun run = Host(Args());

  EXPECT_EQ(run.exitStatus, GetParam().exitStatus) << run.err;
  std::vector<std::string> ours;
  for (const std::string& line : tevtest::Lines(run.err)) {
    if (line.rfind("tev-host: ", 0) == 0) {
      ours.push_back(line);
    }
  }
  ASSERT_EQ(ours.size(), 1u) << run.err;
  EXPECT_NE(ours[0].find(GetParam().problem), std::string::npos) << ours[0];
  EXPECT_TRUE(DetectorCalls().empty());
}

INSTANTIATE_TEST_SUITE_P(
    ExitStatus, Failure,
    testing::Values(
        FailureCase{"NoInput", {}, 2, "give at least one input"},
        FailureCase{"UnknownOption", {"<video>", "--colour"}, 2, "--colour"},
        FailureCase{"ThresholdOutOfRange", {"<video>", "--threshold", "3"}, 2, "--threshold"},
        FailureCase{"ThresholdNotANumber",
                    {"<video>", "--threshold", "nan"},
                    2,
                    "must be a finite number, not nan"},
        FailureCase{"AlarmGapNotANumber",
                    {"<video>", "--alarm-gap", "NaN"},
                    2,
                    "must be a finite number, not NaN"},
        FailureCase{"FrameRateNotANumber",
                    {"<video>", "--fps", "nan"},
                    2,
                    "must be a finite number, not nan"},
        FailureCase{"FrameRateInfinite",
                    {"<video>", "--fps", "inf"},
                    2,
                    "must be a finite number, not inf"},
        FailureCase{"AnnotatedVideoOfUnknownFormat",
                    {"<video>", "--annotate", "<scratch>/out.mkv"},
                    2,
                    "name a .avi or .mp4 file"},
        FailureCase{"MissingInput", {"<scratch>/nowhere.avi"}, 3, "no such file or folder"},
        FailureCase{"InputThatIsNoVideo", {"<scratch>/notes.avi"}, 3, "not a video or image"},
        // Nothing sends there: opening gives up after its time-out instead of waiting for ever,
        // and without reconnect the input is refused.
        FailureCase{"StreamThatDoesNotAnswer",
                    {"udp://127.0.0.1:9", "--no-reconnect"},
                    3,
                    "the stream does not answer"},
        FailureCase{"FolderWithoutImages", {"<scratch>/no-images"}, 3, "holds no image"},
        FailureCase{"OneOfTwoInputsMissing",
                    {"<video>", "<scratch>/nowhere.avi"},
                    3,
                    "nowhere.avi: no such file"},
        FailureCase{"MissingModule",
                    {"<video>", "--module", "<scratch>/nowhere.so"},
                    4,
                    "cannot load the module"},
        FailureCase{"LibraryWithoutCreate",
                    {"<video>", "--module", TEV_TEVLIB_FILE},
                    4,
                    "exports no function \"Create\""},
        FailureCase{"ModelFolderWithoutModels",
                    {"<video>", "--models", "<scratch>/empty"},
                    4,
                    "Initialize failed with the model folder"}),
    [](const testing::TestParamInfo<FailureCase>& info) { return info.param.what; });

TEST_F(HostTest, PrintSchemaShowsTheSettingsTheModuleAnnounces) {
  const tevtest::ProgramRun run = Host({"--print-schema"});
  ASSERT_EQ(run.exitStatus, 0) << run.err;

  const json schema = json::parse(run.out);
  ASSERT_EQ(schema.at("roiConfigs").size(), 1u);
  EXPECT_EQ(schema["roiConfigs"][0].at("kindName"), "ExclusiveROIs");
  EXPECT_EQ(schema["roiConfigs"][0].at("maxCount"), 20);
  std::vector<std::pair<std::string, std::string>> parameters;
  for (const json& parameter : schema.at("parameters")) {
    parameters.emplace_back(parameter.at("name"), parameter.at("defaultValue"));
  }
  const std::vector<std::pair<std::string, std::string>> expected = {
      {"SmokeScore", "0.700000"}, {"Sensitivity", "0.500000"}, {"MinObjectSize", "0.030000"}};
  EXPECT_EQ(parameters, expected);
  EXPECT_TRUE(schema.at("rois").empty());
}

TEST_F(HostTest, HelpEndsWithExitStatus0) {
  const tevtest::ProgramRun run = Host({"--help"});
  EXPECT_EQ(run.exitStatus, 0);
  EXPECT_NE(run.out.find("--settings"), std::string::npos);
}

}  // namespace
