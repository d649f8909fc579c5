#include "platform/eval/metrics.h"

#include "platform/host/call_times.h"

#include <algorithm>

namespace teveval {
namespace {

constexpr double kSecondsPerHour = 3600.0;

// The event's box on a frame, if the truth gives one.
const cv::Rect* BoxAt(const TruthRun& event, long frame) {
  const auto at = std::lower_bound(
      event.boxes.begin(), event.boxes.end(), frame,
      [](const std::pair<long, cv::Rect>& entry, long wanted) { return entry.first < wanted; });
  return at != event.boxes.end() && at->first == frame ? &at->second : nullptr;
}

// Whether a frame's detections show the event: one of its class on its box.
bool Shows(const std::vector<Sighting>& sightings, const TruthRun& event, long frame) {
  const cv::Rect* truth = BoxAt(event, frame);
  return std::any_of(sightings.begin(), sightings.end(), [&](const Sighting& sighting) {
    return sighting.kind == event.kind && (!truth || (sighting.box & *truth).area() > 0);
  });
}

}  // namespace

std::string KindOfClass(int classId, const std::string& className) {
  return classId == 0 ? "fire" : classId == 2 ? "smoke" : className;
}

AlarmScore ScoreAlarms(const std::vector<TruthRun>& events,
                       const std::vector<tevhost::AlarmEnd>& alarms, const FrameSightings& frames) {
  AlarmScore score;
  score.falseAlarm.assign(alarms.size(), true);
  for (const TruthRun& event : events) {
    EventOutcome outcome;
    for (std::size_t index = 0; index < alarms.size(); ++index) {
      const long first = std::max(event.firstFrame, alarms[index].firstFrame);
      const long last = std::min({event.lastFrame, alarms[index].lastFrame,
                                  static_cast<long>(frames.size()) - 1});
      if (first > std::min(event.lastFrame, alarms[index].lastFrame)) {
        continue;
      }
      outcome.alarmRunning = true;
      for (long frame = first; frame <= last; ++frame) {
        if (Shows(frames[static_cast<std::size_t>(frame)], event, frame)) {
          score.falseAlarm[index] = false;
          const long delay = frame - event.firstFrame;
          if (!outcome.detected || delay < outcome.delayFrames) {
            outcome.delayFrames = delay;
          }
          outcome.detected = true;
          break;
        }
      }
    }
    score.events.push_back(outcome);
  }
  return score;
}

FrameCounts CountDetectionFrames(const std::vector<TruthRun>& events, const FrameSightings& frames) {
  FrameCounts counts;
  for (std::size_t frame = 0; frame < frames.size(); ++frame) {
    const long index = static_cast<long>(frame);
    const bool inEvent = std::any_of(events.begin(), events.end(), [index](const TruthRun& event) {
      return event.firstFrame <= index && index <= event.lastFrame;
    });
    (inEvent ? counts.eventFrames : counts.otherFrames) += 1;
    if (!frames[frame].empty()) {
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
      summary.alarmRunning += event.alarmRunning ? 1 : 0;
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
