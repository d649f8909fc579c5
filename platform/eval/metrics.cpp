#include "platform/eval/metrics.h"

#include "platform/host/call_times.h"

#include <algorithm>

namespace teveval {
namespace {

constexpr double kSecondsPerHour = 3600.0;

bool Overlap(const TruthRun& event, const tevhost::AlarmEnd& alarm) {
  return alarm.firstFrame <= event.lastFrame && alarm.lastFrame >= event.firstFrame;
}

}  // namespace

AlarmScore ScoreAlarms(const std::vector<TruthRun>& events,
                       const std::vector<tevhost::AlarmEnd>& alarms) {
  AlarmScore score;
  score.falseAlarm.assign(alarms.size(), true);
  for (const TruthRun& event : events) {
    EventOutcome outcome;
    for (std::size_t index = 0; index < alarms.size(); ++index) {
      if (!Overlap(event, alarms[index])) {
        continue;
      }
      score.falseAlarm[index] = false;
      const long delay = std::max(0L, alarms[index].firstFrame - event.firstFrame);
      if (!outcome.detected || delay < outcome.delayFrames) {
        outcome.delayFrames = delay;
      }
      outcome.detected = true;
    }
    score.events.push_back(outcome);
  }
  return score;
}

FrameCounts CountDetectionFrames(const std::vector<TruthRun>& events,
                                 const std::vector<bool>& detectionFrames) {
  FrameCounts counts;
  for (std::size_t frame = 0; frame < detectionFrames.size(); ++frame) {
    const long index = static_cast<long>(frame);
    const bool inEvent = std::any_of(events.begin(), events.end(), [index](const TruthRun& event) {
      return event.firstFrame <= index && index <= event.lastFrame;
    });
    (inEvent ? counts.eventFrames : counts.otherFrames) += 1;
    if (detectionFrames[frame]) {
      (inEvent ? counts.eventFramesWithDetections : counts.otherFramesWithDetections) += 1;
    }
  }
  return counts;
}

Summary Summarise(const std::vector<const ModeOutcome*>& outcomes) {
  Summary summary;
  std::vector<double> delayFrames;
  std::vector<double> delaySeconds;
  for (const ModeOutcome* outcome : outcomes) {
    for (std::size_t index = 0; index < outcome->events.size(); ++index) {
      const EventOutcome& event = outcome->score.events[index];
      EventCount& count = summary.byClass[outcome->events[index].kind];
      ++count.events;
      ++summary.events;
      if (event.detected) {
        ++count.detected;
        ++summary.detected;
        delayFrames.push_back(static_cast<double>(event.delayFrames));
        delaySeconds.push_back(event.delayFrames / outcome->fps);
      }
    }
    summary.alarms += static_cast<int>(outcome->score.falseAlarm.size());
    summary.falseAlarms += static_cast<int>(
        std::count(outcome->score.falseAlarm.begin(), outcome->score.falseAlarm.end(), true));
    const FrameCounts& frames = outcome->detectionFrames;
    summary.detectionFrames.eventFrames += frames.eventFrames;
    summary.detectionFrames.eventFramesWithDetections += frames.eventFramesWithDetections;
    summary.detectionFrames.otherFrames += frames.otherFrames;
    summary.detectionFrames.otherFramesWithDetections += frames.otherFramesWithDetections;
    summary.frames += outcome->frames;
    summary.videoSeconds += outcome->frames / outcome->fps;
    summary.inferenceSeconds += outcome->inferenceSeconds;
  }
  summary.missed = summary.events - summary.detected;
  if (summary.videoSeconds > 0.0) {
    summary.falseAlarmsPerHour = summary.falseAlarms * kSecondsPerHour / summary.videoSeconds;
  }
  if (summary.inferenceSeconds > 0.0) {
    summary.framesPerSecond = summary.frames / summary.inferenceSeconds;
  }
  if (!delayFrames.empty()) {
    summary.timeToAlarm = TimeToAlarm{tevhost::NearestRankPercentile(delayFrames, 0.5),
                                      tevhost::NearestRankPercentile(delayFrames, 0.9),
                                      tevhost::NearestRankPercentile(delaySeconds, 0.5),
                                      tevhost::NearestRankPercentile(delaySeconds, 0.9)};
  }
  return summary;
}

}  // namespace teveval
