#include "platform/eval/clip_run.h"

#include <chrono>
#include <optional>
#include <utility>

namespace teveval {
namespace {

using Clock = std::chrono::steady_clock;

// One mode's alarms and timings as the frames go by.
class ModeRecorder {
 public:
  explicit ModeRecorder(double alarmGapMs) : _alarms(alarmGapMs) {}

  // Runs detect (which returns the frame's detections) and keeps the outcome.
  template <typename Detect>
  void Frame(long frame, double timestampMs, Detect detect) {
    const Clock::time_point start = Clock::now();
    const auto detections = detect();
    _run.inferenceSeconds += std::chrono::duration<double>(Clock::now() - start).count();
    std::vector<Sighting>& sightings = _run.sightings.emplace_back();
    for (const auto& detection : detections) {
      sightings.push_back({KindOfClass(detection.classId, detection.className), detection.box});
    }
    if (const std::optional<tevhost::AlarmEnd> ended =
            _alarms.Frame(frame, timestampMs, !sightings.empty()).ended) {
      _run.alarms.push_back(*ended);
    }
  }

  ModeRun Finish() {
    if (const std::optional<tevhost::AlarmEnd> last = _alarms.Finish()) {
      _run.alarms.push_back(*last);
    }
    return std::move(_run);
  }

 private:
  tevhost::AlarmTracker _alarms;
  ModeRun _run;
};

}  // namespace

ClipRun RunClip(tevhost::FrameSource& frames, ITEVCustomClass& module, RawDetector& raw,
                const std::string& camera, double alarmGapMs) {
  ClipRun run;
  run.fps = frames.FramesPerSecond();
  ModeRecorder moduleMode(alarmGapMs);
  ModeRecorder rawMode(alarmGapMs);
  tevhost::SourceFrame frame;
  while (frames.Read(frame)) {
    if (run.frames == 0) {
      run.size = frame.image.size();
    }
    moduleMode.Frame(run.frames, frame.timestampMs,
                     [&] { return module.RunInference(frame.image, camera); });
    rawMode.Frame(run.frames, frame.timestampMs, [&] { return raw.Run(frame.image, camera); });
    ++run.frames;
  }
  run.endNote = frames.EndNote();
  run.module = moduleMode.Finish();
  run.raw = rawMode.Finish();
  return run;
}

}  // namespace teveval
