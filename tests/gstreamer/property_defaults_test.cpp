// A tevfiresmoke element starts with exactly the defaults its properties announce
// (gst-inspect-1.0 shows them), and those defaults are the module and the models that came
// with the element: in the build tree, the module built beside it and models/default. A
// numeric property refuses NaN.
#include "tests/gstreamer/pipeline_run.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <memory>

namespace {

struct ElementDeleter {
  void operator()(GstElement* element) const { gst_object_unref(element); }
};
using Element = std::unique_ptr<GstElement, ElementDeleter>;

Element FreshElement() {
  GstElement* element = gst_element_factory_make("tevfiresmoke", nullptr);
  if (element != nullptr) {
    gst_object_ref_sink(element);
  }
  return Element(element);
}

std::string StringDefault(GstElement* element, const char* name) {
  GParamSpec* propertySpec = g_object_class_find_property(G_OBJECT_GET_CLASS(element), name);
  const gchar* value = G_PARAM_SPEC_STRING(propertySpec)->default_value;
  return value != nullptr ? value : "";
}

std::string ValueText(const GValue* value) {
  gchar* text = g_strdup_value_contents(value);
  const std::string result = text;
  g_free(text);
  return result;
}

TEST(PropertyDefaultsTest, AFreshElementHoldsEveryPropertysAnnouncedDefault) {
  const Element element = FreshElement();
  ASSERT_NE(element, nullptr);
  guint count = 0;
  GParamSpec** propertySpecs =
      g_object_class_list_properties(G_OBJECT_GET_CLASS(element.get()), &count);
  int compared = 0;
  for (guint index = 0; index < count; ++index) {
    GParamSpec* propertySpec = propertySpecs[index];
    if (propertySpec->owner_type != G_OBJECT_TYPE(element.get())) {
      continue;  // the base classes' (name, qos...)
    }
    GValue value = G_VALUE_INIT;
    g_value_init(&value, propertySpec->value_type);
    g_object_get_property(G_OBJECT(element.get()), propertySpec->name, &value);
    if (std::string(propertySpec->name) == "camera-id") {
      // Announced as "default: the element's name", which only the instance knows.
      EXPECT_EQ(ValueText(&value), std::string("\"") + GST_ELEMENT_NAME(element.get()) + "\"");
    } else {
      EXPECT_EQ(
          g_param_values_cmp(propertySpec, &value, g_param_spec_get_default_value(propertySpec)), 0)
          << propertySpec->name << " starts at " << ValueText(&value);
    }
    g_value_unset(&value);
    ++compared;
  }
  g_free(propertySpecs);
  EXPECT_GE(compared, 7);
}

TEST(PropertyDefaultsTest, TheDefaultModuleAndModelsAreTheOnesBuiltBesideTheElement) {
  const Element element = FreshElement();
  ASSERT_NE(element, nullptr);
  namespace fs = std::filesystem;
  EXPECT_TRUE(fs::equivalent(StringDefault(element.get(), "module"), TEV_MODULE_FILE));
  const fs::path models = StringDefault(element.get(), "models");
  EXPECT_TRUE(fs::is_regular_file(models / "detector.onnx")) << models;
  EXPECT_TRUE(fs::is_regular_file(models / "filter.builtin")) << models;
}

TEST(PropertyDefaultsTest, NotANumberLeavesANumericPropertyAsItWas) {
  const Element element = FreshElement();
  ASSERT_NE(element, nullptr);
  g_object_set(element.get(), "threshold", 0.7f, "alarm-gap", 3.0, nullptr);
  g_object_set(element.get(), "threshold", std::nanf(""), "alarm-gap", std::nan(""), nullptr);
  gfloat threshold = 0.0f;
  gdouble alarmGap = 0.0;
  g_object_get(element.get(), "threshold", &threshold, "alarm-gap", &alarmGap, nullptr);
  EXPECT_EQ(threshold, 0.7f);
  EXPECT_EQ(alarmGap, 3.0);
}

TEST(PropertyDefaultsTest, AnElementLeftAtItsDefaultsRunsTheDefaultModels) {
  const cv::Size size(160, 120);
  tevgsttest::Pipeline pipeline(tevgsttest::AppSource("in", size, 10) + " ! tevfiresmoke ! " +
                                tevgsttest::AppSink("out"));
  ASSERT_NE(pipeline.Play(), GST_STATE_CHANGE_FAILURE);
  const cv::Mat wall(size, CV_8UC3, cv::Scalar(90, 90, 90));
  for (int index = 0; index < 3; ++index) {
    pipeline.Push("in", wall, index * 100 * GST_MSECOND);
  }
  pipeline.EndStream("in");
  pipeline.RunToEnd();
  ASSERT_TRUE(pipeline.Errors().empty()) << pipeline.Errors().front().text;
  EXPECT_EQ(pipeline.Output("out").size(), 3u);
}

}  // namespace
