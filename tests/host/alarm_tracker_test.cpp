// Alarms from the frames' detections: runs of frames with detections, ended by a gap.
#include "platform/host/alarm_tracker.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using tevhost::AlarmTracker;

struct AlarmCase {
  const char* what;
  std::string frames;  // one character a frame at 10 frames a second: 'x' detections, '.' none
  double gapMs;
  // Per alarm: first frame, last frame, frames with detections, frame its end was seen
  // (-1: when the input ended).
  std::vector<std::vector<long>> alarms;
};

void PrintTo(const AlarmCase& c, std::ostream* out) {
  *out << c.what;
}

class Alarms : public testing::TestWithParam<AlarmCase> {};

TEST_P(Alarms, AreRunsOfFramesWithDetectionsEndedByTheGap) {
  const AlarmCase& c = GetParam();
  AlarmTracker tracker(c.gapMs);
  std::vector<std::vector<long>> alarms;
  std::vector<long> started;
  for (long frame = 0; frame < static_cast<long>(c.frames.size()); ++frame) {
    const AlarmTracker::Change change = tracker.Frame(frame, frame * 100.0, c.frames[frame] == 'x');
    if (change.ended) {
      alarms.push_back({change.ended->firstFrame, change.ended->lastFrame,
                        change.ended->framesWithDetections, frame});
    }
    if (change.started) {
      EXPECT_EQ(change.started->alarm, tracker.Count());
      EXPECT_DOUBLE_EQ(change.started->timestampMs, frame * 100.0);
      started.push_back(change.started->frame);
    }
    EXPECT_EQ(tracker.Active(), !started.empty() && alarms.size() < started.size()) << frame;
  }
  if (const auto last = tracker.Finish()) {
    alarms.push_back({last->firstFrame, last->lastFrame, last->framesWithDetections, -1});
  }
  EXPECT_EQ(alarms, c.alarms);
  ASSERT_EQ(started.size(), alarms.size());
  for (std::size_t index = 0; index < started.size(); ++index) {
    EXPECT_EQ(started[index], alarms[index][0]);
  }
}

INSTANTIATE_TEST_SUITE_P(
    AlarmTracker, Alarms,
    testing::Values(AlarmCase{"NoDetections", "..........", 300, {}},
                    AlarmCase{"OneRunToTheEnd", "..xxxx", 300, {{2, 5, 4, -1}}},
                    AlarmCase{"ShortGapsDoNotEndIt", "x.x.x.", 300, {{0, 4, 3, -1}}},
                    AlarmCase{"EndedOnceTheGapHasPassed", "xx....", 300, {{0, 1, 2, 4}}},
                    AlarmCase{
                        "AnotherAlarmAfterTheGap", "x...x.", 300, {{0, 0, 1, 3}, {4, 4, 1, -1}}},
                    AlarmCase{"EndAndStartOnOneFrame", "x..x", 300, {{0, 0, 1, 3}, {3, 3, 1, -1}}}),
    [](const testing::TestParamInfo<AlarmCase>& info) { return info.param.what; });

}  // namespace
