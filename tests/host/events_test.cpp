// The events tev-host writes: their JSON shape and what they say about detections and
// alarms.
#include "tests/host/host_fixture.h"

#include <opencv2/imgcodecs.hpp>
#include <opencv2/videoio.hpp>

namespace {

using tevtest::DetectorScript;
using tevtest::HostTest;
using tevtest::json;
using tevtest::kFire;
using tevtest::ScriptedDetection;

TEST_F(HostTest, EventsGiveEveryFrameWithDetectionsAndTheStartAndEndOfEveryAlarm) {
  // Fire on frames 0 and 45 only; at 10 frames a second with a 1 s gap, two alarms.
  json calls = json::array();
  for (int frame = 0; frame < 46; ++frame) {
    calls.push_back(frame == 0 || frame == 45 ? json::array({ScriptedDetection(kFire)})
                                              : json::array());
  }
  UseDetector(DetectorScript(calls, "empty", /*log=*/true));
  const std::string video = Scratch("hall.avi");
  tevtest::WriteVideo(video, {320, 240}, 60, 10.0);

  const tevtest::ProgramRun run =
      Host({video, "--events", Scratch("events.jsonl"), "--alarm-gap", "1"});
  ASSERT_EQ(run.exitStatus, 0) << run.err;

  const json detection = {{"classId", 0},
                          {"className", "fire"},
                          {"score", 0.9},
                          {"box", {kFire.x, kFire.y, kFire.width, kFire.height}}};
  const auto line = [&video](json fields) {
    fields["camera"] = "cam0";
    fields["input"] = video;
    return fields;
  };
  const std::vector<json> expected = {
      line({{"event", "alarm-start"}, {"alarm", 1}, {"frame", 0}, {"timestampMs", 0.0}}),
      line({{"event", "detections"},
            {"frame", 0},
            {"timestampMs", 0.0},
            {"detections", {detection}}}),
      line({{"event", "alarm-end"},
            {"alarm", 1},
            {"frame", 0},
            {"timestampMs", 0.0},
            {"firstFrame", 0},
            {"startMs", 0.0},
            {"framesWithDetections", 1}}),
      line({{"event", "alarm-start"}, {"alarm", 2}, {"frame", 45}, {"timestampMs", 4500.0}}),
      line({{"event", "detections"},
            {"frame", 45},
            {"timestampMs", 4500.0},
            {"detections", {detection}}}),
      line({{"event", "alarm-end"},
            {"alarm", 2},
            {"frame", 45},
            {"timestampMs", 4500.0},
            {"firstFrame", 45},
            {"startMs", 4500.0},
            {"framesWithDetections", 1}}),
  };
  EXPECT_EQ(tevtest::ReadJsonLines(Scratch("events.jsonl")), expected);
  EXPECT_NE(run.out.find("frames read      60"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("alarms           2"), std::string::npos) << run.out;
}

TEST_F(HostTest, EventsOnStandardOutputAreAloneThere) {
  UseDetector(DetectorScript(json::array({json::array({ScriptedDetection(kFire)})}), "empty",
                             /*log=*/true));
  const std::string video = Scratch("hall.avi");
  tevtest::WriteVideo(video, {320, 240}, 5, 10.0);

  const tevtest::ProgramRun run = Host({video, "--events", "-"});
  ASSERT_EQ(run.exitStatus, 0) << run.err;
  const std::vector<std::string> lines = tevtest::Lines(run.out);
  ASSERT_EQ(lines.size(), 3u) << run.out;
  for (const std::string& text : lines) {
    EXPECT_TRUE(json::accept(text)) << text;
  }
  // The module's console lines and the summary go to standard error instead.
  EXPECT_NE(run.err.find("frames read      5"), std::string::npos) << run.err;
}

TEST_F(HostTest, StatsEventsSayNowAndThenHowFarEachInputIs) {
  const std::string video = Scratch("hall.avi");
  tevtest::WriteVideo(video, {320, 240}, 1000, 25.0);
  const struct {
    const char* interval;
    bool expected;
  } cases[] = {{"0.02", true}, {"0", false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.interval);
    const tevtest::ProgramRun run =
        Host({video, "--events", Scratch("events.jsonl"), "--stats", c.interval});
    ASSERT_EQ(run.exitStatus, 0) << run.err;
    const std::vector<json> stats =
        tevtest::EventsOfKind(tevtest::ReadJsonLines(Scratch("events.jsonl")), "stats");
    EXPECT_EQ(!stats.empty(), c.expected);
    long previous = 0;
    for (const json& event : stats) {
      EXPECT_EQ(event.at("camera"), "cam0");
      EXPECT_GT(event.at("frames").get<long>(), previous);
      EXPECT_LE(event.at("frames").get<long>(), 1000);
      EXPECT_GT(event.at("framesPerSecond").get<double>(), 0.0);
      previous = event.at("frames").get<long>();
    }
  }
}

TEST_F(HostTest, FramesTheModuleCouldNotProcessAreCountedInTheSummaryAndTheStats) {
  UseDetector(DetectorScript(json::array({json{{"throw", "std"}}}), "repeat-last"));
  const std::string video = Scratch("hall.avi");
  tevtest::WriteVideo(video, {320, 240}, 200, 25.0);
  const tevtest::ProgramRun run =
      Host({video, "--events", Scratch("events.jsonl"), "--stats", "0.001"});
  ASSERT_EQ(run.exitStatus, 0) << run.err;
  EXPECT_NE(run.out.find("failed frames    200 (the module could not process them"),
            std::string::npos)
      << run.out;
  // The module's own lines: the first failure, and the rest when its models went.
  EXPECT_NE(run.err.find("TEVCustomFS::RunInference: a frame failed"), std::string::npos)
      << run.err;
  EXPECT_NE(run.err.find("(200 frames failed so far)"), std::string::npos) << run.err;
  const std::vector<json> stats =
      tevtest::EventsOfKind(tevtest::ReadJsonLines(Scratch("events.jsonl")), "stats");
  ASSERT_FALSE(stats.empty());
  EXPECT_EQ(stats.back().at("failedFrames"), 1);  // the module's total, said at the first
}

TEST_F(HostTest, AnnotatedVideoAndSnapshotsAreWritten) {
  UseDetector(DetectorScript(json::array({json::array({ScriptedDetection(kFire)})}), "empty",
                             /*log=*/true));
  const std::string video = Scratch("hall.avi");
  tevtest::WriteVideo(video, {320, 240}, 8, 10.0);

  const tevtest::ProgramRun run = Host(
      {video, "--annotate", Scratch("out/annotated.avi"), "--snapshots", Scratch("snapshots")});
  ASSERT_EQ(run.exitStatus, 0) << run.err;

  cv::VideoCapture annotated(Scratch("out/annotated.avi"));
  ASSERT_TRUE(annotated.isOpened());
  EXPECT_EQ(annotated.get(cv::CAP_PROP_FRAME_COUNT), 8);
  const cv::Mat snapshot = cv::imread(Scratch("snapshots/cam0-alarm1-frame0.png"));
  ASSERT_FALSE(snapshot.empty());
  // The fire's box is drawn in red on the grey frame.
  const cv::Vec3b edge = snapshot.at<cv::Vec3b>(kFire.y + kFire.height / 2, kFire.x);
  EXPECT_GT(edge[2], 200);
  EXPECT_LT(edge[1], 60);
}

}  // namespace
