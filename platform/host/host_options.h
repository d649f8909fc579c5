// The command line of tev-host.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace tevhost {

struct HostOptions {
  std::vector<std::string> inputs;
  std::string module;  // the module built beside tev-host unless given
  std::string models;  // models/default unless given
  float threshold = 0.5f;
  bool loadEngineOnCreate = false;
  bool optimize = false;
  std::string settings;  // empty: the detector's defaults
  bool printSchema = false;
  std::string events;  // empty: none; "-": standard output
  std::string annotate;
  std::string snapshots;
  double alarmGapSeconds = 2.0;
  int jobs = 1;
  double fallbackFps = 25.0;
  double statsSeconds = 60.0;  // between "stats" events of an input; 0: none
  bool reconnect = true;       // open a camera or stream again when it drops
};

// The options, or nothing when the user asked for --help (it is printed then). Throws
// HostFailure (Usage) with CLI11's message for a command line it cannot take.
std::optional<HostOptions> ParseCommandLine(int argc, char** argv);

// The camera id of the index-th input: cam0, cam1...
std::string CameraIdFor(std::size_t index);

// The annotated video of one input: path itself for a single input; with several, each
// input's camera id goes before the extension (out.avi -> out-cam1.avi).
std::string AnnotatedPathFor(const std::string& path, const std::string& camera,
                             std::size_t inputCount);

}  // namespace tevhost
