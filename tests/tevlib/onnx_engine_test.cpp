// The ONNX engine on the tiny models of tests/data (made by make_tiny_onnx.py): their
// outputs are fixed candidate boxes in input pixels, listed in that script.
#include "tests/support/console_capture.h"
#include "tests/support/source_files.h"
#include "tests/tevlib/tevlib_fixture.h"

#include <algorithm>

namespace {

struct Expected {
  int classId;
  const char* className;
  float confidence;
  cv::Rect box;
};

class OnnxEngine : public TevlibTest {
 protected:
  void SetUp() override {
    TevlibTest::SetUp();
    folder.WriteNames("detector", {"fire", "other", "smoke"});
  }

  void Install(const std::string& model) {
    folder.WriteFile("detector.onnx", tevtest::SourceFileContent("tests/data/" + model));
  }

  int LoadWith(KESTROVIA::TEVLIB& instance, float confidence, float nms) {
    return instance.LoadModelFromFolder("", "detector", "detector.names", confidence, 0.99f, nms, 1,
                                        30, 1, 0, folder.Path().c_str(), labelMap);
  }

  static void ExpectDetections(const std::vector<KESTROVIA::Object>& results,
                               const std::vector<Expected>& expected) {
    ASSERT_EQ(results.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
      SCOPED_TRACE(i);
      EXPECT_EQ(results[i].classId, expected[i].classId);
      EXPECT_EQ(results[i].className, expected[i].className);
      EXPECT_NEAR(results[i].confidence, expected[i].confidence, 1e-4);
      EXPECT_EQ(results[i].box, expected[i].box);
      EXPECT_EQ(results[i].cameraId, "cam");
      EXPECT_EQ(results[i].trackId, 0);
    }
  }
};

const cv::Mat kBlack(64, 64, CV_8UC3, cv::Scalar::all(0));

TEST_F(OnnxEngine, ObjectnessLayoutGivesTheModelsBoxesClassesAndScores) {
  Install("tiny_objectness.onnx");
  auto instance = MakeInstance();
  ASSERT_EQ(LoadDetector(*instance), 1);  // confidence 0.25, NMS 0.5
  EXPECT_EQ(labelMap, "0:fire\n1:other\n2:smoke\n");
  // A 64 x 64 view doubles the 32 x 32 input. Candidate 1 overlaps candidate 0 (same class)
  // and goes; candidate 2 has the same box in another class and stays; candidates 4 and 6
  // score 0.1 and 0.2; candidate 5 is clipped at the view's bottom-right.
  ExpectDetections(Run(*instance, kBlack), {{1, "other", 0.855f, {52, 50, 12, 14}},
                                            {0, "fire", 0.81f, {12, 12, 16, 16}},
                                            {2, "smoke", 0.63f, {12, 12, 16, 16}},
                                            {2, "smoke", 0.40f, {42, 30, 12, 20}}});
}

TEST_F(OnnxEngine, ScoresOnlyLayoutFollowsTheConfidenceAndNmsArguments) {
  Install("tiny_scores_only.onnx");
  const Expected best{0, "fire", 0.9f, {4, 4, 8, 8}};
  const Expected overlapping{0, "fire", 0.7f, {5, 5, 8, 8}};  // IoU 0.62 with best
  const Expected smoke{2, "smoke", 0.6f, {20, 8, 8, 16}};
  const Expected weak{0, "fire", 0.2f, {13, 25, 6, 6}};
  const struct {
    float confidence;  // first float argument of the load
    float nms;         // third
    std::vector<Expected> expected;
  } cases[] = {
      {0.25f, 0.5f, {best, smoke}},
      {0.25f, 0.7f, {best, overlapping, smoke}},
      {0.1f, 0.7f, {best, overlapping, smoke, weak}},
      {0.65f, 0.7f, {best, overlapping}},
      {0.95f, 0.7f, {}},
  };
  const cv::Mat image(32, 32, CV_8UC3, cv::Scalar::all(0));
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "confidence " << c.confidence << ", nms " << c.nms);
    auto instance = MakeInstance();
    ASSERT_EQ(LoadWith(*instance, c.confidence, c.nms), 1);
    ExpectDetections(Run(*instance, image), c.expected);
  }
}

TEST_F(OnnxEngine, LetterboxMapsBoxesBackOntoNonSquareViews) {
  Install("tiny_objectness.onnx");
  auto instance = MakeInstance();
  ASSERT_EQ(LoadDetector(*instance), 1);
  const cv::Mat frame(300, 400, CV_8UC3, cv::Scalar::all(0));
  // Scale 1/4. Wide 128 x 64: 8 rows of padding above and below; tall 64 x 128: 8 columns
  // left and right. Boxes leaving the view are clipped, dropped when wholly outside
  // (candidate 5). Candidate 6 now sees grey padding at the input's top-left.
  const float onPadding = 0.2f + 0.6f * 114 / 255;
  const cv::Mat wide = frame(cv::Rect(100, 50, 128, 64));
  ExpectDetections(Run(*instance, wide), {{0, "fire", 0.81f, {24, 0, 32, 24}},
                                          {2, "smoke", 0.63f, {24, 0, 32, 24}},
                                          {2, "smoke", onPadding, {64, 0, 32, 24}},
                                          {2, "smoke", 0.40f, {84, 28, 24, 36}}});
  const cv::Mat tall = frame(cv::Rect(10, 20, 64, 128));
  ExpectDetections(Run(*instance, tall), {{0, "fire", 0.81f, {0, 24, 24, 32}},
                                          {2, "smoke", 0.63f, {0, 24, 24, 32}},
                                          {2, "smoke", onPadding, {32, 24, 32, 32}},
                                          {2, "smoke", 0.40f, {52, 60, 12, 40}}});
}

TEST_F(OnnxEngine, InputIsScaledRgbWithGreyPadding) {
  // Candidate 6 (smoke) scores 0.2 + 0.6 * the red channel (0 to 1) of the input's top-left
  // pixel, so it sees the colour order, the 1/255 scale and the padding.
  Install("tiny_objectness.onnx");
  const struct {
    const char* name;
    cv::Size size;
    cv::Scalar bgr;
    cv::Rect box;    // candidate 6 in the view
    float expected;  // 0: not reported (under the 0.25 threshold)
  } cases[] = {
      {"red square", {64, 64}, {0, 0, 255}, {32, 12, 16, 16}, 0.8f},
      {"blue square", {64, 64}, {255, 0, 0}, {32, 12, 16, 16}, 0.0f},
      {"dark red square", {64, 64}, {0, 0, 102}, {32, 12, 16, 16}, 0.44f},
      {"red wide view, padded at the top",
       {128, 64},
       {0, 0, 255},
       {64, 0, 32, 24},
       0.2f + 0.6f * 114 / 255},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    auto instance = MakeInstance();
    ASSERT_EQ(LoadDetector(*instance), 1);
    const auto results = Run(*instance, cv::Mat(c.size, CV_8UC3, c.bgr));
    const auto candidate6 = std::find_if(results.begin(), results.end(), [&](const auto& d) {
      return d.classId == 2 && d.box == c.box;
    });
    if (c.expected == 0.0f) {
      EXPECT_EQ(candidate6, results.end());
    } else {
      ASSERT_NE(candidate6, results.end());
      EXPECT_NEAR(candidate6->confidence, c.expected, 1e-4);
    }
  }
}

TEST_F(OnnxEngine, ModelWithoutDeclaredSizeGets640) {
  // The model's reshape only fits the output of a 640 x 640 input.
  Install("tiny_dynamic.onnx");
  auto instance = MakeInstance();
  ASSERT_EQ(LoadDetector(*instance), 1);
  ExpectDetections(Run(*instance, cv::Mat(320, 320, CV_8UC3, cv::Scalar::all(0))),
                   {{0, "fire", 0.81f, {80, 80, 160, 160}}});
}

TEST_F(OnnxEngine, UnusableModelsFailToLoadWithOneLineNamingTheFile) {
  const struct {
    const char* name;
    std::string content;
    const char* reason;  // part of the line
  } cases[] = {
      {"not a model", "not an ONNX file", "OpenCV's dnn module cannot read it: "},
      {"cannot run", tevtest::SourceFileContent("tests/data/tiny_unrunnable.onnx"),
       "OpenCV's dnn module cannot run it on a 640 x 640 input: "},
      {"unknown output layout", tevtest::SourceFileContent("tests/data/tiny_unknown_head.onnx"),
       "[1, 2, 3] is neither"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    folder.WriteFile("detector.onnx", c.content);
    auto instance = MakeInstance();
    tevtest::ConsoleCapture console;
    EXPECT_EQ(LoadDetector(*instance), 0);
    const std::string err = console.Err();
    EXPECT_NE(err.find("TEVLIB: cannot load ONNX model " + folder.File("detector.onnx")),
              std::string::npos)
        << err;
    EXPECT_NE(err.find(c.reason), std::string::npos) << err;
    EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;
  }
}

}  // namespace
