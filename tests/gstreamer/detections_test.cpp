// What tevfiresmoke adds to a stream: region-of-interest metadata on the buffers with
// confirmed detections, alarm messages on the bus timed by the buffers, the detector's
// settings, drawing, and frames the detector fails on.
#include "tests/gstreamer/pipeline_run.h"
#include "tests/support/scripted_models.h"

#include <gtest/gtest.h>
#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <map>

namespace {

using tevgsttest::json;
using tevgsttest::OutputBuffer;
using tevgsttest::Pipeline;
using tevgsttest::Region;
using tevtest::DetectorScript;
using tevtest::ScriptedDetection;

// Rows of 322 BGR pixels are 966 bytes, padded to 968 in GStreamer buffers: every test frame
// has a stride that differs from its width.
const cv::Size kFrameSize(322, 240);
const cv::Rect kFire(100, 80, 40, 40);
constexpr GstClockTime kFrameTime = 100 * GST_MSECOND;

// A grey frame with a gradient, so that rows put in the wrong place show.
cv::Mat TestFrame(int index) {
  cv::Mat frame(kFrameSize, CV_8UC3);
  for (int row = 0; row < frame.rows; ++row) {
    frame.row(row).setTo(cv::Scalar(60 + row % 50, 60 + index % 50, 60 + (row * 7) % 50));
  }
  return frame;
}

// Fire at the given calls of the detector, nothing at the others.
json FireAt(const std::vector<int>& frames, int frameCount, double confidence = 0.9,
            int classId = 0) {
  json calls = json::array();
  for (int frame = 0; frame < frameCount; ++frame) {
    const bool fire = std::find(frames.begin(), frames.end(), frame) != frames.end();
    calls.push_back(fire ? json::array({ScriptedDetection(kFire, confidence, classId)})
                         : json::array());
  }
  return DetectorScript(calls);
}

class ElementTest : public tevtest::ScriptedModelsTest {
 protected:
  // A detector that finds nothing, until a test picks its script.
  void SetUp() override { UseDetector(DetectorScript(json::array())); }

  // appsrc ! tevfiresmoke name=fire0 <properties> ! appsink, with the scripted models.
  std::string Description(const std::string& properties, int rate = 10) const {
    return tevgsttest::AppSource("src", kFrameSize, rate) +
           " ! tevfiresmoke name=fire0 models=" + models.Path() + " " + properties + " ! " +
           tevgsttest::AppSink("sink");
  }

  // Runs count test frames through the pipeline, stamped by index unless told otherwise.
  std::vector<OutputBuffer> RunFrames(Pipeline& pipeline, int count, bool stamped = true) const {
    EXPECT_NE(pipeline.Play(), GST_STATE_CHANGE_FAILURE);
    for (int index = 0; index < count; ++index) {
      pipeline.Push("src", TestFrame(index), stamped ? index * kFrameTime : GST_CLOCK_TIME_NONE);
    }
    pipeline.EndStream("src");
    pipeline.RunToEnd();
    EXPECT_TRUE(pipeline.Errors().empty()) << pipeline.Errors().front().text;
    return pipeline.Output("sink");
  }
};

// The frames whose buffers carry regions, with the regions.
std::map<int, std::vector<Region>> RegionsByFrame(const std::vector<OutputBuffer>& buffers) {
  std::map<int, std::vector<Region>> regions;
  for (std::size_t index = 0; index < buffers.size(); ++index) {
    if (!buffers[index].regions.empty()) {
      regions[static_cast<int>(index)] = buffers[index].regions;
    }
  }
  return regions;
}

struct TimingCase {
  const char* name;
  bool stamped;  // buffers carry 100 ms apart presentation times
  int capsRate;  // frames a second the caps give
};

void PrintTo(const TimingCase& c, std::ostream* out) {
  *out << c.name;
}

class AlarmTimingTest : public ElementTest, public testing::WithParamInterface<TimingCase> {};

TEST_P(AlarmTimingTest, ConfirmedDetectionsBecomeRegionsAndAlarmsStartAndEndAtTheBufferTimes) {
  // Fire found on frames 0 and 45; with a 1 s gap at 10 frames a second, two alarms: the first
  // ends on frame 10, the second with the stream.
  UseDetector(FireAt({0, 45}, 50));
  Pipeline pipeline(Description("alarm-gap=1", GetParam().capsRate));
  const std::vector<OutputBuffer> buffers = RunFrames(pipeline, 50, GetParam().stamped);

  ASSERT_EQ(buffers.size(), 50u);
  const std::vector<Region> fire = {{"fire", kFire, 0.9f}};
  EXPECT_EQ(RegionsByFrame(buffers), (std::map<int, std::vector<Region>>{{0, fire}, {45, fire}}));

  const auto start = [](int alarm, int frame) {
    return json{{"source", "fire0"}, {"name", "alarm-start"}, {"camera", "fire0"},
                {"alarm", alarm},    {"frame", frame},        {"timestamp", frame * kFrameTime}};
  };
  const auto end = [](int alarm, int frame) {
    return json{{"source", "fire0"},
                {"name", "alarm-end"},
                {"camera", "fire0"},
                {"alarm", alarm},
                {"frame", frame},
                {"timestamp", frame * kFrameTime},
                {"first-frame", frame},
                {"start-timestamp", frame * kFrameTime},
                {"frames-with-detections", 1}};
  };
  EXPECT_EQ(pipeline.ElementMessages(),
            (std::vector<json>{start(1, 0), end(1, 0), start(2, 45), end(2, 45)}));
}

INSTANTIATE_TEST_SUITE_P(
    TimeSources, AlarmTimingTest,
    testing::Values(
        // The presentation times count, not the rate the caps announce.
        TimingCase{"PresentationTimes", true, 25},
        // Buffers without presentation times are timed by their index at the caps' rate.
        TimingCase{"FrameRateOfTheCaps", false, 10}),
    [](const testing::TestParamInfo<TimingCase>& info) { return std::string(info.param.name); });

struct ClassCase {
  const char* name;
  int classId;
  double confidence;
  const char* type;
};

void PrintTo(const ClassCase& c, std::ostream* out) {
  *out << c.name;
}

class RegionTypeTest : public ElementTest, public testing::WithParamInterface<ClassCase> {};

TEST_P(RegionTypeTest, EachDetectionIsARegionOfItsClassWithItsScore) {
  UseDetector(FireAt({0}, 1, GetParam().confidence, GetParam().classId));
  Pipeline pipeline(Description(""));
  const std::vector<OutputBuffer> buffers = RunFrames(pipeline, 1);

  ASSERT_EQ(buffers.size(), 1u);
  EXPECT_EQ(
      buffers[0].regions,
      (std::vector<Region>{{GetParam().type, kFire, static_cast<float>(GetParam().confidence)}}));
}

INSTANTIATE_TEST_SUITE_P(Classes, RegionTypeTest,
                         testing::Values(ClassCase{"Fire", 0, 0.9, "fire"},
                                         ClassCase{"Smoke", 2, 0.8, "smoke"}),
                         [](const testing::TestParamInfo<ClassCase>& info) {
                           return std::string(info.param.name);
                         });

TEST_F(ElementTest, AnAlarmStillRunningWhenThePipelineStopsEndsThere) {
  UseDetector(FireAt({0}, 3));
  Pipeline pipeline(Description(""));
  ASSERT_NE(pipeline.Play(), GST_STATE_CHANGE_FAILURE);
  for (int index = 0; index < 3; ++index) {
    pipeline.Push("src", TestFrame(index), index * kFrameTime);
  }
  for (int index = 0; index < 3; ++index) {
    pipeline.Next("sink");
  }
  pipeline.StopToReady();

  std::vector<std::string> names;
  for (const json& message : pipeline.ElementMessages()) {
    names.push_back(message.at("name"));
  }
  EXPECT_EQ(names, (std::vector<std::string>{"alarm-start", "alarm-end"}));
}

TEST_F(ElementTest, TheSettingsFileReachesTheDetectorBeforeTheFirstFrame) {
  // An exclusive region over the fire: nothing is reported.
  UseDetector(FireAt({0}, 1));
  models.WriteFile("site.json", R"({"ExclusiveROIs": [[90, 70, 60, 60]]})");
  Pipeline pipeline(Description("settings=" + models.File("site.json")));
  const std::vector<OutputBuffer> buffers = RunFrames(pipeline, 3);

  ASSERT_EQ(buffers.size(), 3u);
  EXPECT_TRUE(RegionsByFrame(buffers).empty());
  EXPECT_TRUE(pipeline.ElementMessages().empty());
}

TEST_F(ElementTest, FramesPassUnchangedUnlessDrawIsSet) {
  UseDetector(FireAt({0}, 3));
  Pipeline plain(Description(""));
  const std::vector<OutputBuffer> unchanged = RunFrames(plain, 3);
  ASSERT_EQ(unchanged.size(), 3u);
  for (int index = 0; index < 3; ++index) {
    EXPECT_EQ(cv::norm(unchanged[index].image, TestFrame(index), cv::NORM_INF), 0.0) << index;
  }

  Pipeline drawing(Description("draw=true"));
  const std::vector<OutputBuffer> drawn = RunFrames(drawing, 1);
  ASSERT_EQ(drawn.size(), 1u);
  // The fire's box in red, where the detector saw it: rows in the right place.
  for (const cv::Point& edge : {cv::Point(kFire.x, kFire.y + kFire.height / 2),
                                cv::Point(kFire.x + kFire.width / 2, kFire.y + kFire.height - 1)}) {
    const cv::Vec3b pixel = drawn[0].image.at<cv::Vec3b>(edge);
    EXPECT_GT(pixel[2], 200) << edge;
    EXPECT_LT(pixel[1], 60) << edge;
  }
  const cv::Rect inside(kFire.x + 5, kFire.y + 5, kFire.width - 10, kFire.height - 10);
  EXPECT_EQ(cv::norm(drawn[0].image(inside), TestFrame(0)(inside), cv::NORM_INF), 0.0);
}

TEST_F(ElementTest, FramesTheDetectorFailsOnPassThroughUnchangedAndTheStreamGoesOn) {
  // A module whose first two RunInference calls throw; the third finds fire.
  Pipeline pipeline(Description(std::string("draw=true module=") + TEV_FAILING_MODULE_FILE));
  const std::vector<OutputBuffer> buffers = RunFrames(pipeline, 3);

  ASSERT_EQ(buffers.size(), 3u);
  for (int index = 0; index < 2; ++index) {
    EXPECT_TRUE(buffers[index].regions.empty()) << index;
    EXPECT_EQ(cv::norm(buffers[index].image, TestFrame(index), cv::NORM_INF), 0.0) << index;
  }
  EXPECT_FALSE(buffers[2].regions.empty());
  EXPECT_GT(cv::norm(buffers[2].image, TestFrame(2), cv::NORM_INF), 0.0);
  // One warning, not one per failed frame.
  ASSERT_EQ(pipeline.Warnings().size(), 1u);
  const tevgsttest::Notice& warning = pipeline.Warnings()[0];
  EXPECT_EQ(warning.source, "fire0");
  EXPECT_NE(warning.text.find("failed on frame 0"), std::string::npos) << warning.text;
  EXPECT_NE(warning.debug.find("the model ran out of memory"), std::string::npos) << warning.debug;
}

TEST_F(ElementTest, FramesTheModuleCouldNotProcessAreCountedInABusWarning) {
  UseDetector(DetectorScript(json::array({json{{"throw", "std"}}}), "repeat-last"));
  Pipeline pipeline(Description(""));
  const std::vector<OutputBuffer> buffers = RunFrames(pipeline, 5);

  ASSERT_EQ(buffers.size(), 5u);
  // The module says so at its first failed frame, then at most once a minute.
  ASSERT_EQ(pipeline.Warnings().size(), 1u);
  const tevgsttest::Notice& warning = pipeline.Warnings()[0];
  EXPECT_NE(warning.text.find("frames the module could not process so far: 1;"), std::string::npos)
      << warning.text;
  EXPECT_NE(warning.debug.find("scripted failure in RunInference"), std::string::npos)
      << warning.debug;
}

TEST_F(ElementTest, RegionsAreClippedToTheFrameAndOneOutsideItIsLeftOut) {
  // The same module's third call: fire at kFire, smoke reaching beyond the frame's corner,
  // and fire beyond its right edge.
  Pipeline pipeline(Description(std::string("module=") + TEV_FAILING_MODULE_FILE));
  const std::vector<OutputBuffer> buffers = RunFrames(pipeline, 3);

  ASSERT_EQ(buffers.size(), 3u);
  EXPECT_EQ(buffers[2].regions,
            (std::vector<Region>{{"fire", kFire, 0.9f}, {"smoke", {300, 200, 22, 40}, 0.8f}}));
}

}  // namespace
