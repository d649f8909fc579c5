#include "platform/gstreamer/detector_session.h"

#include "platform/host/annotation.h"
#include "platform/host/detector_setup.h"
#include "platform/host/frame_report.h"
#include "platform/host/host_failure.h"

namespace tevgst {
namespace {

using tevhost::FailureKind;
using tevhost::HostFailure;

constexpr const char* kModuleHint =
    "set the element's \"module\" property to the path of the built "
    "TEVCustomFireNSmokeDetection.so";
constexpr const char* kModelsHint =
    "set the element's \"models\" property to a folder with the \"detector\" and \"filter\" "
    "models";
constexpr const char* kSettingsHint =
    "fix the file of the element's \"settings\" property (the format is tev-host's, see the "
    "README), or leave the property unset";

tevhost::PluginModule LoadModule(const std::string& path) {
  try {
    return tevhost::PluginModule(path);
  } catch (const HostFailure& failure) {
    throw StartFailure(StartProblem::Module, failure.what(), kModuleHint);
  }
}

std::optional<tevhost::SettingsFile> ReadSettings(const std::string& path) {
  try {
    return tevhost::SettingsFile::ReadIfGiven(path);
  } catch (const HostFailure& failure) {
    throw StartFailure(StartProblem::Settings, failure.what(), kSettingsHint);
  }
}

tevhost::Detector PrepareDetector(const tevhost::PluginModule& module,
                                  const SessionConfig& config) {
  const std::optional<tevhost::SettingsFile> settings = ReadSettings(config.settings);
  try {
    return tevhost::InitializeDetector(module, {config.models, config.threshold, false}, settings);
  } catch (const HostFailure& failure) {
    // Usage: settings the detector does not take. Module: above all Initialize refusing the
    // model folder.
    if (failure.Kind() == FailureKind::Usage) {
      throw StartFailure(StartProblem::Settings, failure.what(), kSettingsHint);
    }
    throw StartFailure(StartProblem::Detector, failure.what(), kModelsHint);
  }
}

}  // namespace

DetectorSession::DetectorSession(const SessionConfig& config)
    : _camera(config.camera),
      _module(LoadModule(config.module)),
      _detector(PrepareDetector(_module, config)),
      _watch(config.alarmGapMs) {}

FrameOutcome DetectorSession::Run(cv::Mat& frame, double timestampMs, bool draw) {
  tevhost::FrameReport report;
  report.frame = _frames++;
  report.timestampMs = timestampMs;
  report.detections = _detector->RunInference(frame, _camera);

  FrameOutcome outcome;
  outcome.alarm = _watch.Record(report);
  if (draw) {
    tevhost::DrawAnnotation(frame, report, _watch.Search(), _camera);
  }
  outcome.detections = std::move(report.detections);
  return outcome;
}

}  // namespace tevgst
