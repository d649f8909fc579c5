// tevfiresmoke times alarms by running time and starts them afresh when the stream does:
// across concat, whose second part starts its presentation times again, and after a flushing
// seek.
#include "tests/gstreamer/pipeline_run.h"
#include "tests/host/program_run.h"
#include "tests/support/model_folder.h"
#include "tests/support/scripted_models.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using tevgsttest::json;
using tevgsttest::Pipeline;
using tevtest::DetectorScript;
using tevtest::ScriptedDetection;

const cv::Size kFrameSize(320, 240);
constexpr GstClockTime kFrameTime = 100 * GST_MSECOND;

// A fire that moves a little on every call of the detector, so that the module keeps
// confirming it.
json MovingFire(int calls) {
  json entries = json::array();
  for (int call = 0; call < calls; ++call) {
    entries.push_back(json::array({ScriptedDetection({100 + call % 7 * 3, 80, 40, 40})}));
  }
  return DetectorScript(entries, "repeat-last");
}

// The element messages' names and fields that matter here.
struct AlarmMessage {
  std::string name;
  int alarm = 0;
  long frame = 0;
  double timestampMs = 0.0;
};

std::vector<AlarmMessage> AlarmMessages(const Pipeline& pipeline) {
  std::vector<AlarmMessage> messages;
  for (const json& message : pipeline.ElementMessages()) {
    messages.push_back({message.at("name"), message.at("alarm"), message.at("frame"),
                        message.at("timestamp").get<double>() / GST_MSECOND});
  }
  return messages;
}

std::vector<std::string> Names(const std::vector<AlarmMessage>& messages) {
  std::vector<std::string> names;
  for (const AlarmMessage& message : messages) {
    names.push_back(message.name + " " + std::to_string(message.alarm));
  }
  return names;
}

class SegmentsTest : public tevtest::ScriptedModelsTest {
 protected:
  void SetUp() override { UseDetector(MovingFire(100)); }
};

TEST_F(SegmentsTest, ConcatGoesOnInRunningTimeAndItsSecondPartStartsANewAlarm) {
  // Both parts stamped from 0; a long gap, so that only the new segment ends the first alarm.
  Pipeline pipeline(tevgsttest::AppSource("first", kFrameSize, 10) + " ! joined.sink_0 " +
                    tevgsttest::AppSource("second", kFrameSize, 10) + " ! joined.sink_1 " +
                    "concat name=joined ! tevfiresmoke name=fire0 alarm-gap=60 models=" +
                    models.Path() + " ! " + tevgsttest::AppSink("sink"));
  ASSERT_NE(pipeline.Play(), GST_STATE_CHANGE_FAILURE);
  const cv::Mat frame(kFrameSize, CV_8UC3, cv::Scalar(60, 60, 60));
  for (const char* part : {"first", "second"}) {
    for (int index = 0; index < 5; ++index) {
      pipeline.Push(part, frame, index * kFrameTime);
    }
    pipeline.EndStream(part);
  }
  pipeline.RunToEnd();
  ASSERT_TRUE(pipeline.Errors().empty()) << pipeline.Errors().front().text;

  const std::vector<AlarmMessage> messages = AlarmMessages(pipeline);
  ASSERT_EQ(Names(messages), (std::vector<std::string>{"alarm-start 1", "alarm-end 1",
                                                       "alarm-start 2", "alarm-end 2"}));
  EXPECT_EQ(messages[0].timestampMs, 0.0);
  // The second part's frames come after every frame of the first in running time, though
  // their presentation times start at 0 again: the k-th is at least 400 ms past its own.
  ASSERT_GE(messages[2].frame, 5);
  EXPECT_GE(messages[2].timestampMs, (messages[2].frame - 5) * 100.0 + 400.0);
  EXPECT_GE(messages[3].timestampMs, messages[2].timestampMs);
}

TEST_F(SegmentsTest, AFlushingSeekEndsTheAlarmAndTheNextDetectionStartsANewOne) {
  tevtest::ModelFolder work;
  const std::string clip = work.File("hall.avi");
  tevtest::WriteVideo(clip, kFrameSize, 30, 10.0);
  // The sink holds two buffers at most, so that the seek comes while the alarm runs.
  Pipeline pipeline("filesrc location=" + clip +
                    " ! avidemux ! jpegdec ! videoconvert ! video/x-raw,format=BGR ! "
                    "tevfiresmoke name=fire0 alarm-gap=60 models=" +
                    models.Path() + " ! appsink name=sink sync=false max-buffers=2");
  ASSERT_NE(pipeline.Play(), GST_STATE_CHANGE_FAILURE);
  for (int index = 0; index < 10; ++index) {
    pipeline.Next("sink");
  }
  ASSERT_TRUE(pipeline.Seek(0));
  for (int index = 0; index < 30; ++index) {
    pipeline.Next("sink");
  }
  pipeline.RunToEnd();
  ASSERT_TRUE(pipeline.Errors().empty()) << pipeline.Errors().front().text;

  const std::vector<AlarmMessage> messages = AlarmMessages(pipeline);
  ASSERT_EQ(Names(messages), (std::vector<std::string>{"alarm-start 1", "alarm-end 1",
                                                       "alarm-start 2", "alarm-end 2"}));
  // Times start again after the seek; frames are counted on.
  EXPECT_LT(messages[2].timestampMs, messages[1].timestampMs);
  EXPECT_GT(messages[2].frame, messages[1].frame);
}

}  // namespace
