#include "platform/tevlib/scripted_error.h"
#include "tests/support/console_capture.h"
#include "tests/support/hostile_files.h"
#include "tests/tevlib/tevlib_fixture.h"

#include <cmath>
#include <filesystem>
#include <fstream>
#include <limits>
#include <stdexcept>

namespace {

using ScriptedEngine = TevlibTest;

const cv::Mat kImage(100, 200, CV_8UC3, cv::Scalar(0, 0, 0));

TEST_F(ScriptedEngine, LoadsAScriptAndFailsWithoutOne) {
  auto instance = MakeInstance();
  EXPECT_EQ(LoadDetector(*instance), 0);
  EXPECT_EQ(Load(*instance, R"({"calls": []})"), 1);
}

TEST_F(ScriptedEngine, LabelMapListsTheClassNamesOfTheNamesFile) {
  auto instance = MakeInstance();
  folder.WriteNames("detector", {"fire", "other", "smoke"});
  ASSERT_EQ(Load(*instance, R"({"calls": []})"), 1);
  EXPECT_EQ(labelMap, "0:fire\n1:other\n2:smoke\n");
}

TEST_F(ScriptedEngine, ServesOneEntryPerCallWithItsFields) {
  auto instance = MakeInstance();
  folder.WriteNames("detector", {"fire", "other", "smoke"});
  ASSERT_EQ(Load(*instance, R"({"calls": [
      [{"classId": 2, "trackId": 7, "confidence": 0.75, "box": [1, 2, 30, 40]},
       {"classId": 0, "className": "flame", "box": [5, 6, 7, 8]}],
      []]})"),
            1);

  const auto first = Run(*instance, kImage, "cam-1");
  ASSERT_EQ(first.size(), 2u);
  EXPECT_EQ(first[0].classId, 2);
  EXPECT_EQ(first[0].trackId, 7);
  EXPECT_FLOAT_EQ(first[0].confidence, 0.75f);
  EXPECT_EQ(first[0].box, cv::Rect(1, 2, 30, 40));
  EXPECT_EQ(first[0].className, "smoke");  // from the names file
  EXPECT_EQ(first[0].cameraId, "cam-1");
  EXPECT_EQ(first[1].className, "flame");  // the script's own name wins
  EXPECT_TRUE(Run(*instance, kImage).empty());
}

TEST_F(ScriptedEngine, CallsBeyondTheListFollowTheAfterRule) {
  struct Case {
    const char* after;
    std::vector<float> expectedScores;  // of calls 1 to 5; 0 means no detection
  };
  const Case cases[] = {
      {"empty", {0.1f, 0.2f, 0, 0, 0}},
      {"repeat-last", {0.1f, 0.2f, 0.2f, 0.2f, 0.2f}},
      {"cycle", {0.1f, 0.2f, 0.1f, 0.2f, 0.1f}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.after);
    auto instance = MakeInstance();
    ASSERT_EQ(Load(*instance, std::string(R"({"after": ")") + c.after +
                                  R"(", "calls": [[{"confidence": 0.1}], [{"confidence": 0.2}]]})"),
              1);
    for (float expected : c.expectedScores) {
      const auto results = Run(*instance, kImage);
      if (expected == 0) {
        EXPECT_TRUE(results.empty());
      } else {
        ASSERT_EQ(results.size(), 1u);
        EXPECT_FLOAT_EQ(results[0].confidence, expected);
      }
    }
  }
}

TEST_F(ScriptedEngine, FrameCoordinatesAreClippedToTheViewAndMovedIntoIt) {
  auto instance = MakeInstance();
  ASSERT_EQ(Load(*instance, R"({"coordinates": "frame", "calls": [[
      {"trackId": 1, "box": [110, 60, 20, 20]},
      {"trackId": 2, "box": [90, 40, 20, 20]},
      {"trackId": 3, "box": [0, 0, 50, 50]},
      {"trackId": 4, "box": [150, 70, 100, 100]}]]})"),
            1);
  const cv::Mat frame(200, 300, CV_8UC3, cv::Scalar(0, 0, 0));
  const cv::Mat view = frame(cv::Rect(100, 50, 100, 60));

  const auto results = Run(*instance, view);
  ASSERT_EQ(results.size(), 3u);
  EXPECT_EQ(results[0].box, cv::Rect(10, 10, 20, 20));  // inside
  EXPECT_EQ(results[1].box, cv::Rect(0, 0, 10, 10));    // clipped at the top-left
  EXPECT_EQ(results[2].trackId, 4);                     // track 3 lies outside the view
  EXPECT_EQ(results[2].box, cv::Rect(50, 20, 50, 40));  // clipped at the bottom-right
}

TEST_F(ScriptedEngine, ViewCoordinatesArePassedThroughUnchanged) {
  auto instance = MakeInstance();
  ASSERT_EQ(Load(*instance, R"({"calls": [[{"box": [-5, 500, 20, 20]}]]})"), 1);
  const cv::Mat frame(200, 300, CV_8UC3, cv::Scalar(0, 0, 0));
  const auto results = Run(*instance, frame(cv::Rect(100, 50, 100, 60)));
  ASSERT_EQ(results.size(), 1u);
  EXPECT_EQ(results[0].box, cv::Rect(-5, 500, 20, 20));
}

TEST_F(ScriptedEngine, ThrowEntriesRaiseStdOrNonStdExceptions) {
  auto instance = MakeInstance();
  ASSERT_EQ(Load(*instance, R"({"calls": [{"throw": "std"}, {"throw": "other"}, []]})"), 1);
  std::vector<KESTROVIA::Object> results;
  EXPECT_THROW(instance->RunInference(kImage, "cam", results), std::runtime_error);
  EXPECT_THROW(instance->RunInference(kImage, "cam", results), tevlib::ScriptedNonStdError);
  EXPECT_EQ(instance->RunInference(kImage, "cam", results), 1);
}

TEST_F(ScriptedEngine, MalformedScriptsFailToLoadWithOneLineNamingTheFile) {
  const char* scripts[] = {
      R"({"calls": [)",                                      // not JSON
      R"([1, 2])",                                           // not an object
      R"({"after": "forever"})",                             // unknown rule
      R"({"coordinates": 3})",                               // wrong type
      R"({"calls": [[{"box": [1, 2, 3]}]]})",                // box of three
      R"({"calls": [[{"classId": 1e12}]]})",                 // not an int
      R"({"calls": [[{"trackId": 99999999999}]]})",          // outside int
      R"({"calls": [{"throw": "sometimes"}]})",              // unknown throw
      R"({"calls": [7]})",                                   // entry neither list nor throw
      R"({"calls": [[{"box": [2147483600, 0, 100, 5]}]]})",  // right edge beyond int
      R"({"calls": [[{"confidence": "high"}]]})",            // a score that is no number
  };
  for (const char* script : scripts) {
    SCOPED_TRACE(script);
    auto instance = MakeInstance();
    tevtest::ConsoleCapture console;
    EXPECT_EQ(Load(*instance, script), 0);
    const std::string err = console.Err();
    EXPECT_NE(err.find(folder.File("detector.script.json")), std::string::npos) << err;
    EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;
    std::vector<KESTROVIA::Object> results;
    EXPECT_EQ(instance->RunInference(kImage, "cam", results), 0);
  }
}

TEST_F(ScriptedEngine, HostileScriptFilesFailToLoadWithOneLineNamingTheCause) {
  for (const tevtest::HostileFile& hostile : tevtest::HostileJsonFiles(folder)) {
    if (hostile.what == "MissingFile") {
      continue;  // no script is no scripted engine: LoadsAScriptAndFailsWithoutOne
    }
    SCOPED_TRACE(hostile.what);
    const std::filesystem::path script = folder.File("detector.script.json");
    std::filesystem::remove(script);
    std::filesystem::create_symlink(hostile.path, script);
    auto instance = MakeInstance();
    tevtest::ConsoleCapture console;
    EXPECT_EQ(LoadDetector(*instance), 0);
    const std::string err = console.Err();
    EXPECT_NE(err.find(hostile.problem), std::string::npos) << err;
    EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;
    EXPECT_LT(err.size(), tevtest::kLongestRefusal) << err;
  }
}

TEST_F(ScriptedEngine, ScoresMayBeNaNOrInfinite) {
  auto instance = MakeInstance();
  ASSERT_EQ(Load(*instance, R"({"calls": [[{"confidence": "nan"}, {"confidence": "inf"},
                                            {"confidence": "-inf"}, {"confidence": 2}]]})"),
            1);
  const auto results = Run(*instance, kImage);
  ASSERT_EQ(results.size(), 4u);
  EXPECT_TRUE(std::isnan(results[0].confidence));
  EXPECT_EQ(results[1].confidence, std::numeric_limits<float>::infinity());
  EXPECT_EQ(results[2].confidence, -std::numeric_limits<float>::infinity());
  EXPECT_EQ(results[3].confidence, 2.0f);
}

TEST_F(ScriptedEngine, LoadCanBeScriptedToThrow) {
  auto instance = MakeInstance();
  EXPECT_THROW(Load(*instance, R"({"load": {"throw": "std"}})"), std::runtime_error);
  EXPECT_THROW(Load(*instance, R"({"load": {"throw": "other"}})"), tevlib::ScriptedNonStdError);
}

TEST_F(ScriptedEngine, OptimizeAndTrackerResultsComeFromTheScript) {
  auto plain = MakeInstance();
  ASSERT_EQ(Load(*plain, R"({})"), 1);
  EXPECT_EQ(plain->Optimize(true), 1);
  EXPECT_EQ(plain->SetTracker(0, 1), 1);
  EXPECT_EQ(plain->SetTracker(5, 1), 0);  // only ByteTrack is known

  auto refusing = MakeInstance();
  ASSERT_EQ(Load(*refusing, R"({"optimize": 0, "tracker": 0})"), 1);
  EXPECT_EQ(refusing->Optimize(true), 0);
  EXPECT_EQ(refusing->SetTracker(0, 1), 0);

  auto throwing = MakeInstance();
  ASSERT_EQ(Load(*throwing, R"({"optimize": {"throw": "other"}})"), 1);
  EXPECT_THROW(throwing->Optimize(false), tevlib::ScriptedNonStdError);
}

TEST_F(ScriptedEngine, UnloadedInstanceRefusesEverything) {
  auto instance = MakeInstance();
  std::vector<KESTROVIA::Object> results(1);
  EXPECT_EQ(instance->RunInference(kImage, "cam", results), 0);
  EXPECT_TRUE(results.empty());
  EXPECT_EQ(instance->Optimize(true), 0);
  EXPECT_EQ(instance->SetTracker(0, 1), 0);
}

TEST_F(ScriptedEngine, LogAppendsOneJsonLinePerCall) {
  auto instance = MakeInstance();
  ASSERT_EQ(
      Load(*instance, R"({"log": true, "calls": [[{"box": [1, 1, 2, 2]}], {"throw": "std"}]})"), 1);
  const cv::Mat frame(200, 300, CV_8UC3, cv::Scalar(0, 0, 0));
  Run(*instance, frame(cv::Rect(10, 20, 30, 40)), "door");
  std::vector<KESTROVIA::Object> results;
  EXPECT_THROW(instance->RunInference(frame, "door", results), std::runtime_error);

  std::ifstream log(folder.File("detector.calls.jsonl"));
  std::string first;
  std::string second;
  std::string third;
  ASSERT_TRUE(std::getline(log, first));
  ASSERT_TRUE(std::getline(log, second));
  EXPECT_FALSE(std::getline(log, third));
  EXPECT_EQ(
      first,
      R"({"call":0,"cameraId":"door","detections":1,"frame":[300,200],"view":[10,20,30,40]})");
  EXPECT_EQ(second,
            R"({"call":1,"cameraId":"door","frame":[300,200],"throw":"std","view":[0,0,300,200]})");
}

TEST_F(ScriptedEngine, EngineTypeComesFromTheEnvironment) {
  auto instance = MakeInstance();
  const struct {
    const char* value;
    int expected;
  } cases[] = {{nullptr, 0}, {"1", 1}, {"2", 2}, {"-3", -3}, {"gpu", 0}, {"", 0}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.value == nullptr ? "unset" : c.value);
    if (c.value == nullptr) {
      unsetenv("TEVLIB_ENGINE_TYPE");
    } else {
      setenv("TEVLIB_ENGINE_TYPE", c.value, 1);
    }
    EXPECT_EQ(instance->GetEngineType(), c.expected);
  }
  unsetenv("TEVLIB_ENGINE_TYPE");
}

}  // namespace
