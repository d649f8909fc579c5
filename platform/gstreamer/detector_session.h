// One camera's detector inside the element, from start to stop: loads the module, prepares a
// detector as every front end does (the host library's InitializeDetector), runs the frames
// and keeps the camera's alarms by tev-host's rule. Knows nothing of GStreamer.
#pragma once

#include "interface/CustomObject.h"
#include "platform/host/alarm_tracker.h"
#include "platform/host/camera_watch.h"
#include "platform/host/plugin_module.h"

#include <opencv2/core.hpp>

#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace tevgst {

struct SessionConfig {
  std::string module;
  std::string models;
  float threshold = 0.5f;
  std::string settings;  // empty: the detector's defaults
  std::string camera;
  double alarmGapMs = 2000.0;
};

// What failed at the start: loading the module, preparing the detector (above all
// Initialize with the model folder), or the settings.
enum class StartProblem { Module, Detector, Settings };

// Why a session could not start: the host library's message, which names the problem, and
// which of the element's properties to change.
class StartFailure : public std::runtime_error {
 public:
  StartFailure(StartProblem problem, const std::string& message, std::string hint)
      : std::runtime_error(message), _problem(problem), _hint(std::move(hint)) {}

  StartProblem Problem() const { return _problem; }
  const std::string& Hint() const { return _hint; }

 private:
  StartProblem _problem;
  std::string _hint;
};

struct FrameOutcome {
  std::vector<CustomObject> detections;
  tevhost::AlarmTracker::Change alarm;
};

class DetectorSession {
 public:
  // Throws StartFailure.
  explicit DetectorSession(const SessionConfig& config);

  // Runs the next frame, timed at timestampMs. With draw, the frame gets tev-host's
  // annotation (boxes, search state, alarm, time) drawn on it. Exceptions of the detector
  // pass through; the frame is then unchanged and counted without results.
  FrameOutcome Run(cv::Mat& frame, double timestampMs, bool draw);
  // Ends the alarm still running when the stream ends.
  std::optional<tevhost::AlarmEnd> Finish() { return _watch.Finish(); }

  long Frames() const { return _frames; }
  const std::string& Camera() const { return _camera; }

 private:
  std::string _camera;
  // Declared before the detector, which must go first.
  tevhost::PluginModule _module;
  tevhost::Detector _detector;
  tevhost::CameraWatch _watch;
  long _frames = 0;
};

}  // namespace tevgst
