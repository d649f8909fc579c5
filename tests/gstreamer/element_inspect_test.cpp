// gst-inspect-1.0, pointed at the build by GST_PLUGIN_PATH, finds the element, its BGR pads
// and its properties.
#include "tests/gstreamer/gst_tool.h"

#include <gtest/gtest.h>

#include <regex>

namespace {

TEST(ElementInspectTest, GstInspectFindsTheElementItsPadsAndItsProperties) {
  const tevtest::ProgramRun run = tevgsttest::RunGstTool(TEV_GST_INSPECT, {"tevfiresmoke"});
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
