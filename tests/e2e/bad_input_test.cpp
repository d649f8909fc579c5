// What the module does with frames, model outputs and settings it should never get. For
// each: no crash, no leak (the suite also runs under AddressSanitizer), and the result
// stated here.
#include "tests/e2e/scenario_fixture.h"

#include <climits>
#include <string>

namespace {

using tevtest::Always;
using tevtest::Detection;
using tevtest::Frame;
using tevtest::Plugin;
using tevtest::Script;
using BadInput = tevtest::Scenario;

const cv::Rect kStrongFire(10, 10, 120, 120);  // in the searched tile's pixels

std::size_t DetectorCalls() {
  return tevtest::RunsOf("detector").size();
}

std::size_t Lines(const std::string& text) {
  return static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n'));
}

TEST_F(BadInput, FramesOtherThanEightBitBgrGiveNothingAndOneLinePerObject) {
  const struct {
    const char* label;
    int type;
  } cases[] = {
      {"8-bit grey", CV_8UC1},  {"8-bit BGRA", CV_8UC4},   {"16-bit grey", CV_16UC1},
      {"16-bit BGR", CV_16UC3}, {"16-bit BGRA", CV_16UC4}, {"float grey", CV_32FC1},
      {"float BGR", CV_32FC3},  {"float BGRA", CV_32FC4},  {"8-bit two channels", CV_8UC2},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    Plugin plugin = Start(Always({Detection(0, 0.9, kStrongFire)}));
    tevtest::ConsoleCapture console;
    for (int frame = 0; frame < 3; ++frame) {
      EXPECT_TRUE(
          plugin->RunInference(cv::Mat(480, 640, c.type, cv::Scalar::all(0)), "cam").empty());
    }
    EXPECT_EQ(DetectorCalls(), 0u);
    const std::string err = console.Err();
    EXPECT_EQ(Lines(err), 1u) << err;
    EXPECT_NE(err.find(cv::typeToString(c.type)), std::string::npos) << err;
    EXPECT_NE(err.find("CV_8UC3"), std::string::npos) << err;
  }
}

TEST_F(BadInput, OddlyShapedEightBitBgrFrames) {
  cv::Mat wide = Frame(1280, 720);
  const struct {
    const char* label;
    cv::Mat frame;
    std::size_t reported;
    cv::Rect box;
  } cases[] = {
      // A view that is not continuous in memory is a frame like any other; boxes are in
      // the view's pixels.
      {"non-continuous view", wide(cv::Rect(100, 100, 640, 480)), 1, kStrongFire},
      {"1 x 1000", Frame(1, 1000), 0, {}},
      {"1000 x 1", Frame(1000, 1), 0, {}},
      // Twelve tiles; the first searched is the left one of the two in the middle.
      {"8K", Frame(7680, 4320), 1, kStrongFire + cv::Point(1920, 1440)},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    Plugin plugin = Start(Always({Detection(0, 0.9, kStrongFire)}));
    tevtest::ConsoleCapture console;
    const auto reported = plugin->RunInference(c.frame, "cam");
    ASSERT_EQ(reported.size(), c.reported);
    if (c.reported != 0) {
      EXPECT_EQ(reported[0].box, c.box);
    }
    EXPECT_EQ(console.Err(), "");
  }
}

// Model outputs over a search frame and the follow frames after it: how many of the first
// 30 frames report something, and the first report's box and score.
TEST_F(BadInput, MalformedModelOutput) {
  const struct {
    const char* label;
    std::string detection;
    int framesReported;
    cv::Rect box;
  } cases[] = {
      // Passed on as the model gave them: the module does not clip a model's boxes.
      {"box partly outside the view", Detection(0, 0.9, {-20, -20, 60, 60}), 1, {-20, -20, 60, 60}},
      {"box wholly outside the frame",
       Detection(0, 0.9, {5000, 5000, 40, 40}),
       1,
       {5000, 5000, 40, 40}},
      // Below any smallest share of the frame.
      {"zero size", Detection(0, 0.9, {10, 10, 0, 0}), 0, {}},
      {"negative size", Detection(0, 0.9, {100, 100, -40, -40}), 0, {}},
      // No comparison holds for NaN; an infinite score is a score above every threshold.
      {"NaN score", R"({"classId":0,"trackId":1,"confidence":"nan","box":[10,10,120,120]})", 0, {}},
      {"infinite score", R"({"classId":0,"trackId":1,"confidence":"inf","box":[10,10,120,120]})", 1,
       kStrongFire},
      {"minus infinite score",
       R"({"classId":0,"trackId":1,"confidence":"-inf","box":[10,10,120,120]})",
       0,
       {}},
      // Far beyond any frame: ignored before any arithmetic.
      {"box at the end of int", Detection(0, 0.9, {INT_MAX - 100, 0, 50, 50}), 0, {}},
      {"box at the start of int", Detection(0, 0.9, {INT_MIN, INT_MIN, 50, 50}), 0, {}},
      {"sides of millions", Detection(0, 0.9, {0, 0, 1 << 22, 1 << 22}), 0, {}},
      {"any class and track", Detection(INT_MIN, 0.9, kStrongFire, INT_MAX), 0, {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    Plugin plugin = Start(Script({{c.detection}}, R"("after":"repeat-last")"));
    int framesReported = 0;
    for (int frame = 0; frame < 30; ++frame) {
      const auto reported = plugin->RunInference(Frame(640, 480), "cam");
      if (!reported.empty() && framesReported++ == 0) {
        EXPECT_EQ(reported[0].box, c.box);
      }
    }
    EXPECT_EQ(framesReported, c.framesReported);
  }
}

TEST_F(BadInput, ModelThatThrowsOnEveryCallGivesEmptyFramesAndSaysSo) {
  const struct {
    const char* kind;
    const char* cause;  // in the line
  } cases[] = {{"std", "scripted failure in RunInference"},
               {"other", "an exception that is not a std::exception"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.kind);
    Plugin plugin =
        Start(std::string(R"({"after":"repeat-last","calls":[{"throw":")") + c.kind + R"("}]})");
    tevtest::ConsoleCapture console;
    for (int frame = 0; frame < 20; ++frame) {
      EXPECT_TRUE(plugin->RunInference(Frame(640, 480), "cam").empty());
    }
    EXPECT_EQ(DetectorCalls(), 20u);
    // One line at the first failure; the rest within the minute are only counted.
    std::string err = console.Err();
    EXPECT_EQ(Lines(err), 1u) << err;
    EXPECT_EQ(err.rfind("TEVCustomFS::RunInference: a frame failed and gave no detections: ", 0),
              0u)
        << err;
    EXPECT_NE(err.find(c.cause), std::string::npos) << err;
    EXPECT_NE(err.find("(1 frame failed so far)"), std::string::npos) << err;
    // The models go: the total.
    plugin->Destroy();
    err = console.Err();
    EXPECT_EQ(Lines(err), 2u) << err;
    EXPECT_NE(err.find("TEVCustomFS::Destroy: 19 more frames failed and gave no detections"),
              std::string::npos)
        << err;
    EXPECT_NE(err.find("(20 frames failed so far)"), std::string::npos) << err;
  }
}

CustomParams Settings(const std::vector<std::pair<std::string, std::string>>& values,
                      std::vector<CustomROI> regions = {}) {
  CustomParams settings;
  for (const auto& [name, value] : values) {
    CustomParameter parameter;
    parameter.name = name;
    parameter.value = value;
    settings.parameters.push_back(parameter);
  }
  settings.rois = std::move(regions);
  return settings;
}

CustomROI Region(std::vector<cv::Point> points) {
  CustomROI region;
  region.kindName = "ExclusiveROIs";
  region.points = std::move(points);
  return region;
}

TEST_F(BadInput, AbsurdSettings) {
  std::vector<CustomROI> manyRegions(10000, Region({{0, 0}, {1, 0}, {1, 1}}));
  const struct {
    const char* label;
    CustomParams settings;
    bool fireReported;  // a strong fire, in the first frame
  } cases[] = {
      {"huge numbers", Settings({{"SmokeScore", "1e38"}, {"Sensitivity", "-1e30"}}), true},
      {"not numbers", Settings({{"SmokeScore", "nan"}, {"Sensitivity", "inf"}}), true},
      {"every object too small", Settings({{"MinObjectSize", "1e30"}}), false},
      {"nothing too small", Settings({{"MinObjectSize", "-1e30"}}), true},
      {"empty name and long value", Settings({{"", std::string(100000, '9')}}), true},
      // Exclusion goes by overlap over union: a region far larger than the box keeps it.
      {"region spanning all of int",
       Settings({}, {Region({{INT_MIN, INT_MIN}, {INT_MAX, INT_MIN}, {INT_MAX, INT_MAX}})}), true},
      {"ten thousand tiny regions", Settings({}, manyRegions), true},
      {"region of one point", Settings({}, {Region({{5, 5}})}), true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    tevtest::ConsoleCapture console;
    Plugin plugin = Start(Always({Detection(0, 0.9, kStrongFire)}), "{}", &c.settings);
    EXPECT_EQ(plugin->RunInference(Frame(640, 480), "cam").size(), c.fireReported ? 1u : 0u);
  }
}

}  // namespace
