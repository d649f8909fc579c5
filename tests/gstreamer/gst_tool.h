// Runs one of GStreamer's command-line tools (gst-inspect-1.0, gst-launch-1.0) pointed at the
// build by GST_PLUGIN_PATH, with a registry of its own and the given environment variables
// beside. The tools are not built with the sanitizers: in the sanitized build they need their
// runtime preloaded to load the sanitized element, and their own leaks are not this project's
// to check.
#pragma once

#include "tests/host/program_run.h"

#include <string>
#include <vector>

namespace tevgsttest {

inline tevtest::ProgramRun RunGstTool(const std::string& tool,
                                      const std::vector<std::string>& arguments,
                                      const std::vector<std::string>& environment = {}) {
  std::vector<std::string> command = {"GST_PLUGIN_PATH=" TEV_GST_PLUGIN_DIR,
                                      "GST_REGISTRY=" TEV_GST_INSPECT_REGISTRY};
#if defined(TEV_SANITIZER_RUNTIME)
  command.push_back("LD_PRELOAD=" TEV_SANITIZER_RUNTIME);
  command.push_back("ASAN_OPTIONS=detect_leaks=0");
#endif
  command.insert(command.end(), environment.begin(), environment.end());
  command.push_back(tool);
  command.insert(command.end(), arguments.begin(), arguments.end());
  return tevtest::RunProgram("/usr/bin/env", command);
}

}  // namespace tevgsttest
