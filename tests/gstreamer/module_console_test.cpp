// The module's console lines go to the element's debug category, one debug message a line
// (standard output's as information, standard error's as warnings), and never to the
// application's standard output: in gst-launch-1.0, and with two elements running in their
// own streaming threads.
#include "tests/gstreamer/gst_tool.h"
#include "tests/gstreamer/pipeline_run.h"
#include "tests/support/console_capture.h"
#include "tests/support/scripted_models.h"

#include <gtest/gtest.h>

#include <iostream>
#include <mutex>
#include <regex>
#include <string>
#include <vector>

namespace {

using tevgsttest::json;

constexpr const char* kCategory = "tevfiresmoke";

// The element's debug messages from every thread, kept while the object lives instead of
// being printed on standard error.
class ElementDebugLog {
 public:
  ElementDebugLog() {
    gst_debug_set_threshold_for_name(kCategory, GST_LEVEL_INFO);
    _defaultRemoved = gst_debug_remove_log_function(gst_debug_log_default) > 0;
    gst_debug_add_log_function(&ElementDebugLog::Keep, this, nullptr);
  }
  ~ElementDebugLog() {
    gst_debug_remove_log_function(&ElementDebugLog::Keep);
    if (_defaultRemoved) {
      gst_debug_add_log_function(gst_debug_log_default, nullptr, nullptr);
    }
    gst_debug_unset_threshold_for_name(kCategory);
  }
  ElementDebugLog(const ElementDebugLog&) = delete;
  ElementDebugLog& operator=(const ElementDebugLog&) = delete;

  // The texts that one element logged at one level and that start with prefix, in order.
  std::vector<std::string> Texts(const std::string& element, GstDebugLevel level,
                                 const std::string& prefix) const {
    const std::lock_guard<std::mutex> lock(_mutex);
    std::vector<std::string> texts;
    for (const Message& message : _messages) {
      if (message.element == element && message.level == level &&
          message.text.rfind(prefix, 0) == 0) {
        texts.push_back(message.text);
      }
    }
    return texts;
  }

 private:
  struct Message {
    std::string element;
    GstDebugLevel level;
    std::string text;
  };

  static void Keep(GstDebugCategory* category, GstDebugLevel level, const gchar*, const gchar*,
                   gint, GObject* object, GstDebugMessage* message, gpointer data) {
    if (std::string(gst_debug_category_get_name(category)) != kCategory || object == nullptr ||
        !GST_IS_OBJECT(object)) {
      return;
    }
    auto* self = static_cast<ElementDebugLog*>(data);
    const std::lock_guard<std::mutex> lock(self->_mutex);
    self->_messages.push_back({GST_OBJECT_NAME(object), level, gst_debug_message_get(message)});
  }

  mutable std::mutex _mutex;
  std::vector<Message> _messages;
  bool _defaultRemoved = false;
};

class ModuleConsoleTest : public tevtest::ScriptedModelsTest {
 protected:
  void SetUp() override { UseDetector(tevtest::DetectorScript(json::array())); }
};

TEST_F(ModuleConsoleTest, GstLaunchPrintsNoModuleLineAndItsDebugLogHoldsThem) {
  const tevtest::ProgramRun run = tevgsttest::RunGstTool(
      "gst-launch-1.0",
      {"videotestsrc", "num-buffers=3", "!", "video/x-raw,width=160,height=120", "!",
       "videoconvert", "!", "video/x-raw,format=BGR", "!", "tevfiresmoke", "name=fire0",
       "module=" TEV_MODULE_FILE, "models=" + models.Path(), "!", "fakesink"},
      {std::string("GST_DEBUG=") + kCategory + ":5", "GST_DEBUG_NO_COLOR=1"});
  ASSERT_EQ(run.exitStatus, 0) << run.err;

  EXPECT_EQ(run.out.find("CPU detected"), std::string::npos) << run.out;
  EXPECT_EQ(run.out.find("TEVCustomFS"), std::string::npos) << run.out;
  // Initialize's line on standard output is information, its line on standard error a warning.
  EXPECT_TRUE(std::regex_search(
      run.err, std::regex(" INFO +tevfiresmoke [^\n]*<fire0> CPU detected\\. Using OpenVINO "
                          "and ONNX\n")))
      << run.err;
  EXPECT_TRUE(std::regex_search(
      run.err, std::regex(" WARN +tevfiresmoke [^\n]*<fire0> TEVCustomFS::Initialize: Warning - "
                          "Motion detector not loaded")))
      << run.err;
  // None of them reaches standard error as it was written.
  for (const std::string& line : tevtest::Lines(run.err)) {
    if (line.find("CPU detected") != std::string::npos ||
        line.find("TEVCustomFS") != std::string::npos) {
      EXPECT_NE(line.find(kCategory), std::string::npos) << line;
    }
  }
}

TEST_F(ModuleConsoleTest, TwoElementsInTheirOwnThreadsEachLogTheirModulesLinesWhole) {
  constexpr int kFrames = 40;
  const cv::Size size(160, 120);
  tevtest::ConsoleCapture console;  // the application's streams, which must stay untouched
  const ElementDebugLog log;
  {
    const std::string module = "module=" TEV_FAILING_MODULE_FILE;
    tevgsttest::Pipeline pipeline(tevgsttest::ElementBranch("hall", size, module) +
                                  tevgsttest::ElementBranch("yard", size, module));
    pipeline.RunBranches({"hall", "yard"}, cv::Mat(size, CV_8UC3, cv::Scalar::all(60)), kFrames);
    ASSERT_FALSE(HasFatalFailure());
    ASSERT_TRUE(pipeline.Errors().empty()) << pipeline.Errors().front().text;
  }

  // Nothing reached the application's streams, and they are its own again.
  std::cout << "after the pipeline" << std::endl;
  EXPECT_EQ(console.Out(), "after the pipeline\n");
  EXPECT_EQ(console.Err(), "");
  for (const std::string camera : {"hall", "yard"}) {
    std::vector<std::string> calls;
    for (int call = 0; call < kFrames; ++call) {
      calls.push_back("failing module: call " + std::to_string(call) + " on " + camera);
    }
    EXPECT_EQ(log.Texts(camera, GST_LEVEL_INFO, "failing module: "), calls) << camera;
    EXPECT_EQ(log.Texts(camera, GST_LEVEL_WARNING, "failing module: "),
              (std::vector<std::string>{calls[0] + " throws", calls[1] + " throws"}))
        << camera;
  }
}

}  // namespace
