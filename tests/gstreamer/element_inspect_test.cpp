// gst-inspect-1.0, pointed at the build by GST_PLUGIN_PATH, finds the element, its BGR pads
// and its properties.
#include "tests/host/program_run.h"

#include <gtest/gtest.h>

#include <regex>

namespace {

// gst-inspect-1.0 with the build's plug-in folder (and a registry of its own). It is not
// built with the sanitizers: in the sanitized build it needs their runtime preloaded to load
// the sanitized element, and its own leaks are not this project's to check.
tevtest::ProgramRun Inspect(const std::string& element) {
  std::vector<std::string> command = {"GST_PLUGIN_PATH=" TEV_GST_PLUGIN_DIR,
                                      "GST_REGISTRY=" TEV_GST_INSPECT_REGISTRY};
#if defined(TEV_SANITIZER_RUNTIME)
  command.push_back("LD_PRELOAD=" TEV_SANITIZER_RUNTIME);
  command.push_back("ASAN_OPTIONS=detect_leaks=0");
#endif
  command.push_back(TEV_GST_INSPECT);
  command.push_back(element);
  return tevtest::RunProgram("/usr/bin/env", command);
}

TEST(ElementInspectTest, GstInspectFindsTheElementItsPadsAndItsProperties) {
  const tevtest::ProgramRun run = Inspect("tevfiresmoke");
  ASSERT_EQ(run.exitStatus, 0) << run.err;

  EXPECT_NE(run.out.find("Filename                 " TEV_GST_PLUGIN_DIR), std::string::npos)
      << run.out;
  EXPECT_NE(run.out.find("format: BGR"), std::string::npos) << run.out;
  for (const char* property :
       {"module", "models", "threshold", "settings", "camera-id", "draw", "alarm-gap"}) {
    const std::regex line(std::string("\n  ") + property + " +: ");
    EXPECT_TRUE(std::regex_search(run.out, line)) << property << " missing in\n" << run.out;
  }
  // The module it loads unless told otherwise is the one built beside it.
  EXPECT_NE(run.out.find("Default: \"" TEV_MODULE_FILE "\""), std::string::npos) << run.out;
}

}  // namespace
