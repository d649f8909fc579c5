#include "platform/host/run_summary.h"

#include "platform/host/call_times.h"

#include <cstdio>
#include <string>

namespace tevhost {
namespace {

std::string Format(const char* format, double a, double b = 0.0) {
  char text[64];
  std::snprintf(text, sizeof text, format, a, b);
  return text;
}

std::string Seconds(double milliseconds) {
  return Format("%.2f s", milliseconds / 1000.0);
}

}  // namespace

void PrintSummary(std::ostream& out, const std::vector<std::unique_ptr<InputJob>>& jobs,
                  const std::vector<InputResult>& results, double seconds) {
  long frames = 0;
  for (const InputResult& result : results) {
    frames += result.frames;
  }
  out << "tev-host: " << jobs.size() << (jobs.size() == 1 ? " input, " : " inputs, ") << frames
      << " frames in " << Format("%.1f s", seconds) << "\n";
  for (std::size_t index = 0; index < jobs.size(); ++index) {
    const InputJob& job = *jobs[index];
    const InputResult& result = results[index];
    const CallTimes times = SummariseCallTimes(result.inferenceMs);
    out << job.source.camera << "  " << job.source.input << "\n";
    out << "  frames read      " << result.frames
        << (result.endNote.empty() ? "" : " (" + result.endNote + ")") << "\n";
    out << "  processing rate  "
        << Format("%.1f frames/s", result.seconds > 0 ? result.frames / result.seconds : 0.0)
        << "\n";
    out << "  RunInference     "
        << Format("median %.1f ms, 95th percentile %.1f ms", times.medianMs, times.percentile95Ms)
        << "\n";
    if (result.failedFrames > 0) {
      out << "  failed frames    " << result.failedFrames
          << " (the module could not process them; its lines above say why)\n";
    }
    if (result.droppedFrames > 0) {
      out << "  dropped frames   " << result.droppedFrames
          << " (the detector was slower than the camera; the newest frames went first)\n";
    }
    if (result.reconnects > 0) {
      out << "  reconnects       " << result.reconnects
          << " (the input was lost and came back; see input-lost in the events)\n";
    }
    out << "  alarms           " << result.alarms.size() << "\n";
    for (const AlarmEnd& alarm : result.alarms) {
      out << "    alarm " << alarm.alarm << "  from " << Seconds(alarm.startMs) << " to "
          << Seconds(alarm.endMs) << " (frames " << alarm.firstFrame << " to " << alarm.lastFrame
          << ", " << alarm.framesWithDetections << " with detections)\n";
    }
    if (!result.annotatedVideo.empty()) {
      out << "  annotated video  " << result.annotatedVideo << "\n";
    }
    for (const std::string& snapshot : result.snapshots) {
      out << "  snapshot         " << snapshot << "\n";
    }
  }
  out.flush();
}

}  // namespace tevhost
