#include "platform/eval/report.h"

#include <cstdio>
#include <map>
#include <set>
#include <sstream>

namespace teveval {
namespace {

using nlohmann::ordered_json;

// One mode's summary over all clips: mode is &ClipResult::module or &ClipResult::raw.
Summary SummariseAll(const std::vector<ClipResult>& clips, ModeOutcome ClipResult::*mode) {
  std::vector<const ModeOutcome*> outcomes;
  for (const ClipResult& clip : clips) {
    outcomes.push_back(&(clip.*mode));
  }
  return Summarise(outcomes);
}

std::string Format(const char* format, double value) {
  char text[64];
  std::snprintf(text, sizeof text, format, value);
  return text;
}

ordered_json RunJson(const TruthRun& run) {
  return {{"firstFrame", run.firstFrame}, {"lastFrame", run.lastFrame}};
}

ordered_json SummaryJson(const Summary& summary) {
  ordered_json byClass = ordered_json::object();
  for (const auto& [kind, count] : summary.byClass) {
    byClass[kind] = {{"events", count.events}, {"detected", count.detected}};
  }
  ordered_json timeToAlarm = nullptr;
  if (summary.timeToAlarm) {
    const TimeToAlarm& time = *summary.timeToAlarm;
    timeToAlarm = {{"medianFrames", time.medianFrames},
                   {"percentile90Frames", time.percentile90Frames},
                   {"medianSeconds", time.medianSeconds},
                   {"percentile90Seconds", time.percentile90Seconds}};
  }
  return {{"events", summary.events},
          {"detected", summary.detected},
          {"missed", summary.missed},
          {"alarmRunning", summary.alarmRunning},
          {"byClass", byClass},
          {"alarms", summary.alarms},
          {"falseAlarms", summary.falseAlarms},
          {"detectionFrames",
           {{"eventFrames", summary.detectionFrames.eventFrames},
            {"eventFramesWithDetections", summary.detectionFrames.eventFramesWithDetections},
            {"otherFrames", summary.detectionFrames.otherFrames},
            {"otherFramesWithDetections", summary.detectionFrames.otherFramesWithDetections}}},
          {"frames", summary.frames},
          {"videoSeconds", summary.videoSeconds},
          {"falseAlarmsPerHour", summary.falseAlarmsPerHour},
          {"timeToAlarm", timeToAlarm},
          {"inferenceSeconds", summary.inferenceSeconds},
          {"framesPerSecond", summary.framesPerSecond}};
}

ordered_json ModeJson(const ModeOutcome& outcome, const ModeRun& run) {
  ordered_json alarms = ordered_json::array();
  for (std::size_t index = 0; index < run.alarms.size(); ++index) {
    const tevhost::AlarmEnd& alarm = run.alarms[index];
    alarms.push_back({{"firstFrame", alarm.firstFrame},
                      {"lastFrame", alarm.lastFrame},
                      {"framesWithDetections", alarm.framesWithDetections},
                      {"falseAlarm", static_cast<bool>(outcome.score.falseAlarm[index])}});
  }
  return {{"alarms", alarms}, {"summary", SummaryJson(Summarise({&outcome}))}};
}

ordered_json EventOutcomeJson(const EventOutcome& outcome, double fps) {
  if (!outcome.detected) {
    return {{"detected", false}, {"alarmRunning", outcome.alarmRunning}};
  }
  return {{"detected", true},
          {"delayFrames", outcome.delayFrames},
          {"delaySeconds", outcome.delayFrames / fps},
          {"alarmRunning", outcome.alarmRunning}};
}

ordered_json ClipJson(const ClipResult& clip, const std::string& timeline) {
  ordered_json events = ordered_json::array();
  for (std::size_t index = 0; index < clip.truth.events.size(); ++index) {
    ordered_json event = {{"class", clip.truth.events[index].kind}};
    event.update(RunJson(clip.truth.events[index]));
    event["module"] = EventOutcomeJson(clip.module.score.events[index], clip.truth.fps);
    event["raw"] = EventOutcomeJson(clip.raw.score.events[index], clip.truth.fps);
    events.push_back(event);
  }
  ordered_json distractors = ordered_json::array();
  for (const TruthRun& distractor : clip.truth.distractors) {
    ordered_json entry = {{"kind", distractor.kind}};
    entry.update(RunJson(distractor));
    distractors.push_back(entry);
  }
  ordered_json json = {{"clip", clip.clip},
                       {"groundTruth", clip.truth.path},
                       {"scenario", clip.truth.scenario},
                       {"width", clip.run.size.width},
                       {"height", clip.run.size.height},
                       {"fps", clip.truth.fps},
                       {"frames", clip.run.frames},
                       {"events", events},
                       {"distractors", distractors},
                       {"module", ModeJson(clip.module, clip.run.module)},
                       {"raw", ModeJson(clip.raw, clip.run.raw)},
                       {"timeline", timeline}};
  if (!clip.run.endNote.empty()) {
    json["endNote"] = clip.run.endNote;
  }
  return json;
}

std::string Delay(const Summary& summary, bool percentile90) {
  if (!summary.timeToAlarm) {
    return "-";
  }
  const TimeToAlarm& time = *summary.timeToAlarm;
  const double seconds = percentile90 ? time.percentile90Seconds : time.medianSeconds;
  const double frames = percentile90 ? time.percentile90Frames : time.medianFrames;
  return Format("%.2f s", seconds) + Format(" (%.0f frames)", frames);
}

std::string Missed(const Summary& summary, const std::string& kind) {
  const auto count = summary.byClass.find(kind);
  if (count == summary.byClass.end()) {
    return "-";
  }
  return std::to_string(count->second.events - count->second.detected) + " of " +
         std::to_string(count->second.events);
}

std::string Events(const std::vector<TruthRun>& events) {
  std::map<std::string, int> counts;
  for (const TruthRun& event : events) {
    ++counts[event.kind];
  }
  std::string text;
  for (const auto& [kind, count] : counts) {
    text += (text.empty() ? "" : ", ") + std::to_string(count) + " " + kind;
  }
  return text.empty() ? "none" : text;
}

std::string Distractors(const std::vector<TruthRun>& distractors) {
  std::set<std::string> kinds;
  std::string text;
  for (const TruthRun& distractor : distractors) {
    if (kinds.insert(distractor.kind).second) {
      text += (text.empty() ? "" : ", ") + distractor.kind;
    }
  }
  return text.empty() ? "-" : text;
}

std::string Share(long part, long whole) {
  return std::to_string(part) + " of " + std::to_string(whole) +
         (whole > 0 ? Format(" (%.1f %%)", 100.0 * part / whole) : "");
}

std::string ClipDelay(const Summary& summary) {
  return summary.timeToAlarm ? Format("%.2f s", summary.timeToAlarm->medianSeconds) : "-";
}

}  // namespace

ordered_json ReportJson(const EvalSetup& setup, const std::vector<ClipResult>& clips,
                        const std::vector<std::string>& timelines) {
  ordered_json clipList = ordered_json::array();
  for (std::size_t index = 0; index < clips.size(); ++index) {
    clipList.push_back(ClipJson(clips[index], timelines[index]));
  }
  return {{"models", setup.models},
          {"threshold", setup.threshold},
          {"settings", setup.settings},
          {"alarmGapSeconds", setup.alarmGapSeconds},
          {"clips", clipList},
          {"total",
           {{"module", SummaryJson(SummariseAll(clips, &ClipResult::module))},
            {"raw", SummaryJson(SummariseAll(clips, &ClipResult::raw))}}}};
}

std::string TotalTable(const std::vector<ClipResult>& clips) {
  const Summary module = SummariseAll(clips, &ClipResult::module);
  const Summary raw = SummariseAll(clips, &ClipResult::raw);
  std::ostringstream out;
  const auto row = [&out](const std::string& what, const std::string& a, const std::string& b) {
    out << "| " << what << " | " << a << " | " << b << " |\n";
  };
  const auto detected = [](const Summary& summary) {
    return std::to_string(summary.detected) + " of " + std::to_string(summary.events);
  };
  out << "| | module | raw detector |\n|---|---|---|\n";
  row("events detected (own class, on the event's boxes)", detected(module), detected(raw));
  row("events with any alarm running", std::to_string(module.alarmRunning),
      std::to_string(raw.alarmRunning));
  row("fire events missed", Missed(module, "fire"), Missed(raw, "fire"));
  row("smoke events missed", Missed(module, "smoke"), Missed(raw, "smoke"));
  row("false alarms", std::to_string(module.falseAlarms), std::to_string(raw.falseAlarms));
  row("false alarms per hour", Format("%.0f", module.falseAlarmsPerHour),
      Format("%.0f", raw.falseAlarmsPerHour));
  row("time to alarm, median", Delay(module, false), Delay(raw, false));
  row("time to alarm, 90th percentile", Delay(module, true), Delay(raw, true));
  row("frames with detections, within events",
      Share(module.detectionFrames.eventFramesWithDetections, module.detectionFrames.eventFrames),
      Share(raw.detectionFrames.eventFramesWithDetections, raw.detectionFrames.eventFrames));
  row("frames with detections, outside events",
      Share(module.detectionFrames.otherFramesWithDetections, module.detectionFrames.otherFrames),
      Share(raw.detectionFrames.otherFramesWithDetections, raw.detectionFrames.otherFrames));
  row("frames per second", Format("%.1f", module.framesPerSecond),
      Format("%.1f", raw.framesPerSecond));
  return out.str();
}

std::string ReportMarkdown(const EvalSetup& setup, const std::vector<ClipResult>& clips) {
  const Summary total = SummariseAll(clips, &ClipResult::module);
  std::ostringstream out;
  out << clips.size() << " clips, " << total.frames << " frames, "
      << Format("%.1f", total.videoSeconds / 60.0) << " minutes of video; models " << setup.models
      << ", threshold " << Format("%g", setup.threshold) << ", alarm gap "
      << Format("%g", setup.alarmGapSeconds) << " s"
      << (setup.settings.empty() ? "" : ", settings " + setup.settings) << ".\n\n";
  out << TotalTable(clips) << "\n";
  out << "| clip | size | events | distractors | missed (module / raw) | false alarms (module / "
         "raw) | time to alarm (module / raw) | frames/s (module / raw) |\n"
         "|---|---|---|---|---|---|---|---|\n";
  for (const ClipResult& clip : clips) {
    const Summary module = Summarise({&clip.module});
    const Summary raw = Summarise({&clip.raw});
    out << "| " << ClipName(clip.clip) << " | " << clip.run.size.width << "x"
        << clip.run.size.height << " | " << Events(clip.truth.events) << " | "
        << Distractors(clip.truth.distractors) << " | " << module.missed << " / " << raw.missed
        << " | " << module.falseAlarms << " / " << raw.falseAlarms << " | " << ClipDelay(module)
        << " / " << ClipDelay(raw) << " | " << Format("%.1f", module.framesPerSecond) << " / "
        << Format("%.1f", raw.framesPerSecond) << " |\n";
  }
  return out.str();
}

}  // namespace teveval
