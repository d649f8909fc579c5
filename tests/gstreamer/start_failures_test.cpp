// A tevfiresmoke that cannot start fails the pipeline's start with an error that names the
// problem and the property to change; nothing crashes.
#include "tests/gstreamer/pipeline_run.h"
#include "tests/support/hostile_files.h"
#include "tests/support/model_folder.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

using tevgsttest::Pipeline;
using tevtest::ModelFolder;

struct FailureCase {
  const char* name;
  // The element's properties, given a folder with working models and a scratch folder.
  std::function<std::string(const ModelFolder& models, const ModelFolder& scratch)> properties;
  GQuark (*domain)();
  int code;
  const char* inText;   // part of the error's text: the problem
  const char* inDebug;  // part of its debug detail: the property to change
};

void PrintTo(const FailureCase& c, std::ostream* out) {
  *out << c.name;
}

class StartFailureTest : public testing::TestWithParam<FailureCase> {
 protected:
  void SetUp() override { tevtest::WriteEmptyModels(models); }

  ModelFolder models;
  ModelFolder scratch;
};

TEST_P(StartFailureTest, ThePipelineDoesNotStartAndTheErrorNamesTheProblem) {
  const FailureCase& failure = GetParam();
  Pipeline pipeline(tevgsttest::AppSource("src", {64, 48}, 10) + " ! tevfiresmoke name=detect " +
                    failure.properties(models, scratch) + " ! " + tevgsttest::AppSink("sink"));

  EXPECT_EQ(pipeline.Play(), GST_STATE_CHANGE_FAILURE);
  pipeline.Collect();
  ASSERT_EQ(pipeline.Errors().size(), 1u);
  const tevgsttest::Notice& error = pipeline.Errors()[0];
  EXPECT_EQ(error.source, "detect");
  EXPECT_EQ(error.domain, failure.domain());
  EXPECT_EQ(error.code, failure.code);
  EXPECT_NE(error.text.find(failure.inText), std::string::npos) << error.text;
  EXPECT_NE(error.debug.find(failure.inDebug), std::string::npos) << error.debug;
}

std::string WithModels(const ModelFolder& models, const std::string& more) {
  return "models=" + models.Path() + " " + more;
}

std::string WithSettings(const ModelFolder& models, const ModelFolder& scratch,
                         const std::string& content) {
  scratch.WriteFile("site.json", content);
  return WithModels(models, "settings=" + scratch.File("site.json"));
}

INSTANTIATE_TEST_SUITE_P(
    Problems, StartFailureTest,
    testing::Values(
        FailureCase{"ModuleFileMissing",
                    [](const ModelFolder& models, const ModelFolder& scratch) {
                      return WithModels(models, "module=" + scratch.File("none.so"));
                    },
                    gst_library_error_quark, GST_LIBRARY_ERROR_INIT,
                    "cannot open shared object file", "\"module\" property"},
        FailureCase{"ModuleWithoutCreate",
                    [](const ModelFolder& models, const ModelFolder&) {
                      return WithModels(models, std::string("module=") + TEV_TEVLIB_FILE);
                    },
                    gst_library_error_quark, GST_LIBRARY_ERROR_INIT,
                    "exports no function \"Create\"", "\"module\" property"},
        FailureCase{"ModelFolderWithoutModels",
                    [](const ModelFolder&, const ModelFolder& scratch) {
                      return "models=" + scratch.Path();
                    },
                    gst_library_error_quark, GST_LIBRARY_ERROR_INIT,
                    "Initialize failed with the model folder", "\"models\" property"},
        FailureCase{"SettingsFileMissing",
                    [](const ModelFolder& models, const ModelFolder& scratch) {
                      return WithModels(models, "settings=" + scratch.File("none.json"));
                    },
                    gst_resource_error_quark, GST_RESOURCE_ERROR_SETTINGS, "does not exist",
                    "\"settings\" property"},
        FailureCase{"SettingsNotJson",
                    [](const ModelFolder& models, const ModelFolder& scratch) {
                      return WithSettings(models, scratch, "{\"SmokeScore\": ");
                    },
                    gst_resource_error_quark, GST_RESOURCE_ERROR_SETTINGS, "is not valid JSON",
                    "\"settings\" property"},
        // Would overflow the stack of the whole pipeline's process if it were parsed.
        FailureCase{"SettingsNestedTooDeep",
                    [](const ModelFolder& models, const ModelFolder& scratch) {
                      return WithSettings(models, scratch, tevtest::DeeplyNestedJson(70000));
                    },
                    gst_resource_error_quark, GST_RESOURCE_ERROR_SETTINGS,
                    "nests deeper than 64 levels", "\"settings\" property"},
        FailureCase{"UnknownSetting",
                    [](const ModelFolder& models, const ModelFolder& scratch) {
                      return WithSettings(models, scratch, R"({"Bogus": 1})");
                    },
                    gst_resource_error_quark, GST_RESOURCE_ERROR_SETTINGS,
                    "\"Bogus\" is not a setting of this detector", "\"settings\" property"},
        FailureCase{"SettingOutOfRange",
                    [](const ModelFolder& models, const ModelFolder& scratch) {
                      return WithSettings(models, scratch, R"({"SmokeScore": 1.5})");
                    },
                    gst_resource_error_quark, GST_RESOURCE_ERROR_SETTINGS,
                    "\"SmokeScore\" must be a number from 0 to 1", "\"settings\" property"}),
    [](const testing::TestParamInfo<FailureCase>& info) { return std::string(info.param.name); });

}  // namespace
