// The evaluation's metrics on hand-made ground truth, alarm lists and detections: which
// events an alarm catches and how late, which alarms are false, frames with detections,
// and the summary over clips.
#include "platform/eval/metrics.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using teveval::AlarmScore;
using teveval::FrameSightings;
using teveval::Sighting;
using teveval::TruthRun;
using tevhost::AlarmEnd;

std::vector<TruthRun> Fires(const std::vector<std::pair<long, long>>& runs) {
  std::vector<TruthRun> events;
  for (const auto& [first, last] : runs) {
    events.push_back({"fire", first, last, {}});
  }
  return events;
}

std::vector<AlarmEnd> Alarms(const std::vector<std::pair<long, long>>& runs) {
  std::vector<AlarmEnd> alarms;
  for (const auto& [first, last] : runs) {
    AlarmEnd alarm;
    alarm.alarm = static_cast<int>(alarms.size()) + 1;
    alarm.firstFrame = first;
    alarm.lastFrame = last;
    alarms.push_back(alarm);
  }
  return alarms;
}

struct ScoreCase {
  const char* what;
  std::vector<std::pair<long, long>> events;  // first and last frame
  std::vector<std::pair<long, long>> alarms;
  std::vector<long> delays;  // per event: frames to its alarm, -1 when missed
  std::vector<bool> falseAlarm;
};

void PrintTo(const ScoreCase& c, std::ostream* out) {
  *out << c.what;
}

// frameCount frames, with the given sighting on every frame of every run.
FrameSightings Sightings(long frameCount, const std::vector<std::pair<long, long>>& runs,
                         const Sighting& sighting) {
  FrameSightings frames(static_cast<std::size_t>(frameCount));
  for (const auto& [first, last] : runs) {
    for (long frame = first; frame <= last; ++frame) {
      frames[static_cast<std::size_t>(frame)].push_back(sighting);
    }
  }
  return frames;
}

class Score : public testing::TestWithParam<ScoreCase> {};

// Events without boxes: any fire detection during the event shows it.
TEST_P(Score, CatchesEventsTheAlarmsOverlapAndCountsTheRestAsFalse) {
  const ScoreCase& c = GetParam();
  const FrameSightings frames = Sightings(100, c.alarms, {"fire", {0, 0, 10, 10}});
  const AlarmScore score = teveval::ScoreAlarms(Fires(c.events), Alarms(c.alarms), frames);
  std::vector<long> delays;
  for (const teveval::EventOutcome& event : score.events) {
    delays.push_back(event.detected ? event.delayFrames : -1);
  }
  EXPECT_EQ(delays, c.delays);
  EXPECT_EQ(score.falseAlarm, c.falseAlarm);
}

INSTANTIATE_TEST_SUITE_P(
    Alarms, Score,
    testing::Values(
        ScoreCase{"EventDetectedLate", {{10, 49}}, {{15, 30}}, {5}, {false}},
        ScoreCase{"EventMissed", {{10, 49}}, {}, {-1}, {}},
        ScoreCase{"FalseAlarmBetweenEvents",
                  {{10, 19}, {40, 49}},
                  {{10, 12}, {25, 30}, {45, 49}},
                  {0, 5},
                  {false, true, false}},
        ScoreCase{"AlarmSpanningTwoEvents", {{10, 19}, {30, 39}}, {{15, 35}}, {5, 0}, {false}},
        ScoreCase{"AlarmAlreadyOnWhenTheEventStarts", {{20, 29}}, {{5, 25}}, {0}, {false}},
        ScoreCase{"AlarmEndingTheFrameBeforeTheEvent", {{20, 29}}, {{5, 19}}, {-1}, {true}},
        ScoreCase{"AlarmStartingOnTheEventsLastFrame", {{20, 29}}, {{29, 40}}, {9}, {false}},
        ScoreCase{"FirstOfTwoAlarmsOnAnEventGivesTheDelay",
                  {{10, 59}},
                  {{20, 25}, {40, 45}},
                  {10},
                  {false, false}},
        ScoreCase{"AlarmsWithoutEvents", {}, {{0, 3}, {50, 60}}, {}, {true, true}}),
    [](const testing::TestParamInfo<ScoreCase>& info) { return info.param.what; });

// A fire event on frames 10 to 29 whose truth box is (100, 100, 50, 50) on frames 10 to 24
// and unknown after; one alarm per case, with what it showed on which frames.
struct BoxCase {
  const char* what;
  std::pair<long, long> alarm;
  std::vector<std::pair<std::pair<long, long>, Sighting>> shown;
  long delay;  // -1 when missed
  bool falseAlarm;
};

void PrintTo(const BoxCase& c, std::ostream* out) {
  *out << c.what;
}

class ScoreOnBoxes : public testing::TestWithParam<BoxCase> {};

TEST_P(ScoreOnBoxes, CountsOnlyDetectionsOfTheEventsClassOnItsBoxes) {
  const BoxCase& c = GetParam();
  TruthRun fire{"fire", 10, 29, {}};
  for (long frame = 10; frame <= 24; ++frame) {
    fire.boxes.push_back({frame, cv::Rect(100, 100, 50, 50)});
  }
  FrameSightings frames(40);
  for (const auto& [run, sighting] : c.shown) {
    for (long frame = run.first; frame <= run.second; ++frame) {
      frames[static_cast<std::size_t>(frame)].push_back(sighting);
    }
  }
  const AlarmScore score = teveval::ScoreAlarms({fire}, Alarms({c.alarm}), frames);
  ASSERT_EQ(score.events.size(), 1u);
  EXPECT_TRUE(score.events[0].alarmRunning);
  EXPECT_EQ(score.events[0].detected ? score.events[0].delayFrames : -1, c.delay);
  EXPECT_EQ(score.falseAlarm, std::vector<bool>{c.falseAlarm});
}

const Sighting kFireOnTheBox{"fire", {120, 120, 60, 60}};
const Sighting kSmokeOnTheBox{"smoke", {100, 100, 50, 50}};
const Sighting kFireElsewhere{"fire", {0, 0, 60, 60}};
const Sighting kFireTouchingTheBox{"fire", {40, 40, 60, 60}};  // ends where the box starts

INSTANTIATE_TEST_SUITE_P(
    Events, ScoreOnBoxes,
    testing::Values(
        BoxCase{"FireOnTheBox", {10, 20}, {{{10, 20}, kFireOnTheBox}}, 0, false},
        BoxCase{"WrongClassOnTheBox", {10, 20}, {{{10, 20}, kSmokeOnTheBox}}, -1, true},
        BoxCase{"FireAwayFromTheBox", {10, 20}, {{{10, 20}, kFireElsewhere}}, -1, true},
        BoxCase{"FireTouchingTheBoxOnlyAtItsEdge", {10, 20}, {{{10, 20}, kFireTouchingTheBox}},
                -1, true},
        BoxCase{"AlarmStartedBeforeTheEventBySomethingElse",
                {2, 20},
                {{{2, 20}, kFireElsewhere}, {{13, 20}, kFireOnTheBox}},
                3,
                false},
        BoxCase{"AnyFireCountsWhereTheTruthHasNoBox", {26, 29}, {{{26, 29}, kFireElsewhere}}, 16,
                false}),
    [](const testing::TestParamInfo<BoxCase>& info) { return info.param.what; });

TEST(DetectionFrames, AreCountedWithinEventsAndOutsideThem) {
  // Frames 0 to 7 with detections on 0, 2, 3 and 5; an event on frames 2 to 4.
  const std::string frames = "x.xx.x..";
  FrameSightings detections;
  for (const char frame : frames) {
    detections.push_back(frame == 'x' ? std::vector<Sighting>{{"fire", {0, 0, 1, 1}}}
                                      : std::vector<Sighting>{});
  }
  const teveval::FrameCounts counts = teveval::CountDetectionFrames(Fires({{2, 4}}), detections);
  EXPECT_EQ(counts.eventFrames, 3);
  EXPECT_EQ(counts.eventFramesWithDetections, 2);
  EXPECT_EQ(counts.otherFrames, 5);
  EXPECT_EQ(counts.otherFramesWithDetections, 2);
}

// One mode on one clip, made by hand.
teveval::ModeOutcome Outcome(std::vector<TruthRun> events, const std::vector<long>& delays,
                             std::vector<bool> falseAlarm, long frames, double fps,
                             double inferenceSeconds) {
  teveval::ModeOutcome outcome;
  outcome.events = std::move(events);
  for (const long delay : delays) {
    outcome.score.events.push_back({delay >= 0, delay >= 0 ? delay : 0});
  }
  outcome.score.falseAlarm = std::move(falseAlarm);
  outcome.frames = frames;
  outcome.fps = fps;
  outcome.inferenceSeconds = inferenceSeconds;
  return outcome;
}

TEST(Summary, AddsUpClipsAndTakesTimesToAlarmAcrossThem) {
  // 10 s at 25 frames/s: a fire caught after 5 frames, smoke missed, one false alarm.
  teveval::ModeOutcome first = Outcome({{"fire", 50, 249, {}}, {"smoke", 60, 249, {}}}, {5, -1},
                                       {false, true}, 250, 25.0, 5.0);
  first.detectionFrames = {200, 150, 50, 4};
  // 10 s at 10 frames/s: a fire caught after 20 frames, one false alarm.
  teveval::ModeOutcome second =
      Outcome({{"fire", 10, 99, {}}}, {20}, {false, true}, 100, 10.0, 5.0);
  second.detectionFrames = {90, 80, 10, 1};

  const teveval::Summary summary = teveval::Summarise({&first, &second});

  EXPECT_EQ(summary.events, 3);
  EXPECT_EQ(summary.detected, 2);
  EXPECT_EQ(summary.missed, 1);
  EXPECT_EQ(summary.byClass.at("fire").events, 2);
  EXPECT_EQ(summary.byClass.at("fire").detected, 2);
  EXPECT_EQ(summary.byClass.at("smoke").events, 1);
  EXPECT_EQ(summary.byClass.at("smoke").detected, 0);
  EXPECT_EQ(summary.alarms, 4);
  EXPECT_EQ(summary.falseAlarms, 2);
  EXPECT_DOUBLE_EQ(summary.videoSeconds, 20.0);
  EXPECT_DOUBLE_EQ(summary.falseAlarmsPerHour, 360.0);
  ASSERT_TRUE(summary.timeToAlarm);
  EXPECT_DOUBLE_EQ(summary.timeToAlarm->medianFrames, 5.0);
  EXPECT_DOUBLE_EQ(summary.timeToAlarm->percentile90Frames, 20.0);
  EXPECT_DOUBLE_EQ(summary.timeToAlarm->medianSeconds, 0.2);
  EXPECT_DOUBLE_EQ(summary.timeToAlarm->percentile90Seconds, 2.0);
  EXPECT_EQ(summary.frames, 350);
  EXPECT_DOUBLE_EQ(summary.framesPerSecond, 35.0);
  EXPECT_EQ(summary.detectionFrames.eventFrames, 290);
  EXPECT_EQ(summary.detectionFrames.eventFramesWithDetections, 230);
  EXPECT_EQ(summary.detectionFrames.otherFrames, 60);
  EXPECT_EQ(summary.detectionFrames.otherFramesWithDetections, 5);
}

TEST(Summary, HasNoTimeToAlarmWhenNoEventWasDetected) {
  const teveval::ModeOutcome missed = Outcome({{"fire", 0, 9, {}}}, {-1}, {}, 10, 10.0, 1.0);
  const teveval::Summary summary = teveval::Summarise({&missed});
  EXPECT_EQ(summary.missed, 1);
  EXPECT_FALSE(summary.timeToAlarm);
  EXPECT_DOUBLE_EQ(summary.falseAlarmsPerHour, 0.0);
}

}  // namespace
