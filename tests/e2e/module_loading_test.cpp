// Loads the built module the way a host does: by file name at run time, finding the
// plain exported functions, and then talking to the object only through the interface.
#include "interface/TEVCustomModule.h"
#include "tests/support/console_capture.h"
#include "tests/support/model_folder.h"

#include <gtest/gtest.h>

#include <dlfcn.h>

namespace {

class LoadedModule : public testing::Test {
 protected:
  void SetUp() override {
    _handle = dlopen(TEV_MODULE_FILE, RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(_handle, nullptr) << dlerror();
  }
  void TearDown() override {
    if (_handle != nullptr) {
      dlclose(_handle);
    }
  }

  void* Symbol(const char* name) const { return dlsym(_handle, name); }

 private:
  void* _handle = nullptr;
};

TEST_F(LoadedModule, ExportsCreateAndReleaseByTheirPlainNames) {
  EXPECT_NE(Symbol(kTEVCreateSymbol), nullptr);
  EXPECT_NE(Symbol(kTEVReleaseSymbol), nullptr);
}

TEST_F(LoadedModule, HidesWhatIsNotPartOfTheInterface) {
  // The module's own helpers are built with hidden visibility: FixedText(double).
  EXPECT_EQ(Symbol("_Z9FixedTextB5cxx11d"), nullptr);
}

TEST_F(LoadedModule, DrivesADetectorThroughTheInterface) {
  auto create = reinterpret_cast<TEVCreateFunction>(Symbol(kTEVCreateSymbol));
  auto release = reinterpret_cast<TEVReleaseFunction>(Symbol(kTEVReleaseSymbol));
  ASSERT_NE(create, nullptr);
  ASSERT_NE(release, nullptr);

  tevtest::ModelFolder folder;
  tevtest::WriteEmptyModels(folder);
  folder.WriteNames("detector", {"fire", "other", "smoke"});

  ITEVCustomClass* object = create();
  ASSERT_NE(object, nullptr);
  std::string labelMap;
  {
    tevtest::ConsoleCapture console;
    EXPECT_TRUE(object->Initialize(folder.Path(), 0.5f, labelMap));
    EXPECT_EQ(console.Out(), "CPU detected. Using OpenVINO and ONNX\n");
  }
  EXPECT_EQ(labelMap, "0:fire\n1:other\n2:smoke\n");

  CustomParams params;
  EXPECT_TRUE(object->ConfigureParameters(params));
  ASSERT_EQ(params.parameters.size(), 3u);
  EXPECT_EQ(params.parameters[0].name, "SmokeScore");

  const cv::Mat frame(120, 160, CV_8UC3, cv::Scalar::all(0));
  EXPECT_TRUE(object->RunInference(frame, "cam").empty());
  EXPECT_TRUE(object->RunInference(frame).empty());
  EXPECT_TRUE(object->OptimizeModel(true));
  EXPECT_TRUE(object->Destroy());
  EXPECT_FALSE(object->OptimizeModel(true));
  release(object);
}

}  // namespace
