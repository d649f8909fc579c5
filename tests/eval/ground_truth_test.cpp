// The ground-truth reader: the format of the README, and one clear message for each kind
// of file it cannot take.
#include "platform/eval/ground_truth.h"
#include "platform/host/host_failure.h"
#include "tests/support/hostile_files.h"
#include "tests/support/model_folder.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using teveval::ClipTruth;
using tevhost::FailureKind;
using tevhost::HostFailure;

// The README's example, with a distractor.
constexpr const char* kReadmeTruth = R"({
  "clip": "fire.avi", "fps": 25.0, "frames": 250, "width": 1280, "height": 720,
  "events": [
    {"class": "fire", "firstFrame": 50, "lastFrame": 249,
     "boxes": [{"frame": 50, "box": [499, 502, 49, 111]}, {"frame": 51, "box": [494, 504, 49, 109]}]},
    {"class": "smoke", "firstFrame": 70, "lastFrame": 80}
  ],
  "distractors": [{"kind": "lamp", "firstFrame": 0, "lastFrame": 249}],
  "scenario": "fire", "seed": 1
})";

TEST(GroundTruth, ReadsTheReadmesFormat) {
  const tevtest::ModelFolder folder;
  folder.WriteFile("fire.truth.json", kReadmeTruth);
  const ClipTruth truth = teveval::ReadGroundTruth(folder.File("fire.truth.json"));

  EXPECT_DOUBLE_EQ(truth.fps, 25.0);
  EXPECT_EQ(truth.frames, 250);
  EXPECT_EQ(truth.scenario, "fire");
  ASSERT_EQ(truth.events.size(), 2u);
  EXPECT_EQ(truth.events[0].kind, "fire");
  EXPECT_EQ(truth.events[0].firstFrame, 50);
  EXPECT_EQ(truth.events[0].lastFrame, 249);
  ASSERT_EQ(truth.events[0].boxes.size(), 2u);
  EXPECT_EQ(truth.events[0].boxes[1].first, 51);
  EXPECT_EQ(truth.events[0].boxes[1].second, cv::Rect(494, 504, 49, 109));
  EXPECT_EQ(truth.events[1].kind, "smoke");
  EXPECT_TRUE(truth.events[1].boxes.empty());
  ASSERT_EQ(truth.distractors.size(), 1u);
  EXPECT_EQ(truth.distractors[0].kind, "lamp");
}

TEST(GroundTruth, NeedsOnlyTheFrameRateAndTheEvents) {
  const tevtest::ModelFolder folder;
  folder.WriteFile("own.truth.json", R"({"fps": 12.5, "events": []})");
  const ClipTruth truth = teveval::ReadGroundTruth(folder.File("own.truth.json"));
  EXPECT_DOUBLE_EQ(truth.fps, 12.5);
  EXPECT_FALSE(truth.frames);
  EXPECT_TRUE(truth.events.empty());
  EXPECT_TRUE(truth.distractors.empty());
}

struct BadTruthCase {
  const char* what;
  const char* content;  // null: no file at all
  const char* problem;  // what the message says
};

void PrintTo(const BadTruthCase& c, std::ostream* out) {
  *out << c.what;
}

class BadTruth : public testing::TestWithParam<BadTruthCase> {};

TEST_P(BadTruth, IsAUsageErrorNamingTheFileAndTheProblem) {
  const tevtest::ModelFolder folder;
  const std::string path = folder.File("clip.truth.json");
  if (GetParam().content != nullptr) {
    folder.WriteFile("clip.truth.json", GetParam().content);
  }
  try {
    teveval::ReadGroundTruth(path);
    FAIL() << "no failure";
  } catch (const HostFailure& failure) {
    EXPECT_EQ(failure.Kind(), FailureKind::Usage);
    const std::string message = failure.what();
    EXPECT_NE(message.find(path), std::string::npos) << message;
    EXPECT_NE(message.find(GetParam().problem), std::string::npos) << message;
  }
}

TEST(GroundTruthReader, RefusesHostileFilesNamingTheCause) {
  const tevtest::ModelFolder folder;
  for (const tevtest::HostileFile& hostile : tevtest::HostileJsonFiles(folder)) {
    SCOPED_TRACE(hostile.what);
    try {
      teveval::ReadGroundTruth(hostile.path);
      ADD_FAILURE() << "no failure";
    } catch (const HostFailure& failure) {
      EXPECT_EQ(failure.Kind(), FailureKind::Usage);
      EXPECT_NE(std::string(failure.what()).find("ground truth " + hostile.path + " " +
                                                 hostile.problem),
                std::string::npos)
          << failure.what();
      EXPECT_LT(std::string(failure.what()).size(), tevtest::kLongestRefusal) << failure.what();
    }
  }
}

INSTANTIATE_TEST_SUITE_P(
    Reader, BadTruth,
    testing::Values(
        BadTruthCase{"MissingFile", nullptr, "does not exist: write it beside the clip"},
        BadTruthCase{"MalformedJson", R"({"fps": 25, "events": [)", "is not valid JSON"},
        BadTruthCase{"NotAnObject", "[1, 2]", "must hold a JSON object"},
        BadTruthCase{"NoFrameRate", R"({"events": []})", "\"fps\" must be the clip's frame rate"},
        BadTruthCase{"ZeroFrameRate", R"({"fps": 0, "events": []})", "\"fps\" must be"},
        BadTruthCase{"VanishingFrameRate", R"({"fps": 1e-7, "events": []})",
                     "a number from 0.1 to 1000"},
        BadTruthCase{"NoEvents", R"({"fps": 25})", "\"events\" is missing"},
        BadTruthCase{"EventsNotAList", R"({"fps": 25, "events": {}})", "\"events\" must be a list"},
        BadTruthCase{
            "UnknownClass",
            R"({"fps": 25, "events": [{"class": "flame", "firstFrame": 0, "lastFrame": 1}]})",
            "an event is \"fire\" or \"smoke\""},
        BadTruthCase{
            "NegativeFirstFrame",
            R"({"fps": 25, "events": [{"class": "fire", "firstFrame": -1, "lastFrame": 1}]})",
            "event 1 needs \"firstFrame\", a frame number from 0"},
        BadTruthCase{
            "EventEndingBeforeItStarts",
            R"({"fps": 25, "events": [{"class": "fire", "firstFrame": 9, "lastFrame": 3}]})",
            "event 1 (fire, frames 9 to 3) ends before it starts"},
        BadTruthCase{"EventBeyondTheClip",
                     R"({"fps": 25, "frames": 100, "events": [
                          {"class": "fire", "firstFrame": 0, "lastFrame": 10},
                          {"class": "smoke", "firstFrame": 90, "lastFrame": 100}]})",
                     "event 2 (smoke, frames 90 to 100) lies beyond the clip's 100 frames"},
        BadTruthCase{"DistractorBeyondTheClip",
                     R"({"fps": 25, "frames": 10, "events": [],
                         "distractors": [{"kind": "lamp", "firstFrame": 0, "lastFrame": 10}]})",
                     "distractor 1 (lamp, frames 0 to 10) lies beyond the clip's 10 frames"},
        BadTruthCase{"BoxOutsideItsEvent",
                     R"({"fps": 25, "events": [{"class": "fire", "firstFrame": 10, "lastFrame": 20,
                          "boxes": [{"frame": 9, "box": [0, 0, 5, 5]}]}]})",
                     "has a box for frame 9, outside its frames"},
        BadTruthCase{"MalformedBox",
                     R"({"fps": 25, "events": [{"class": "fire", "firstFrame": 10, "lastFrame": 20,
                          "boxes": [{"frame": 10, "box": [0, 0, 5]}]}]})",
                     "a box is [x, y, width, height]"}),
    [](const testing::TestParamInfo<BadTruthCase>& info) { return info.param.what; });

TEST(GroundTruth, RunsAreCheckedAgainstTheFramesTheClipTurnedOutToHold) {
  const tevtest::ModelFolder folder;
  folder.WriteFile(
      "clip.truth.json",
      R"({"fps": 25, "events": [{"class": "fire", "firstFrame": 5, "lastFrame": 40}]})");
  const ClipTruth truth = teveval::ReadGroundTruth(folder.File("clip.truth.json"));
  EXPECT_NO_THROW(teveval::CheckRunsWithin(truth, 41));
  EXPECT_THROW(teveval::CheckRunsWithin(truth, 40), HostFailure);
}

struct PathCase {
  const char* clip;
  const char* truth;
};

class TruthPath : public testing::TestWithParam<PathCase> {};

TEST_P(TruthPath, IsTheClipsNameWithTruthJsonForItsExtension) {
  EXPECT_EQ(teveval::TruthPathFor(GetParam().clip), GetParam().truth);
}

INSTANTIATE_TEST_SUITE_P(Reader, TruthPath,
                         testing::Values(PathCase{"clips/fire.avi", "clips/fire.truth.json"},
                                         PathCase{"hall.v2.mp4", "hall.v2.truth.json"},
                                         PathCase{"frames/", "frames.truth.json"},
                                         PathCase{"site/frames", "site/frames.truth.json"}));

}  // namespace
