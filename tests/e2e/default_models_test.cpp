// The module with the model folder it ships with (models/default), on synthetic scenes:
// what a newcomer sees without any model weights.
#include "tests/e2e/scenario_fixture.h"
#include "tests/support/source_files.h"
#include "tests/support/synthetic_scene.h"

namespace {

using tevtest::DrawFlame;
using tevtest::Plugin;
using tevtest::Wall;

const cv::Point kFlameBase(300, 260);

class DefaultModels : public testing::Test {
 protected:
  void SetUp() override {
    unsetenv("TEVLIB_ENGINE_TYPE");
    std::string labelMap;
    tevtest::ConsoleCapture console;
    ASSERT_TRUE(plugin->Initialize(tevtest::SourcePath("models/default"), 0.5f, labelMap));
  }

  Plugin plugin{Create()};
};

TEST_F(DefaultModels, ReportFireOnAFlickeringFlame) {
  int framesWithFire = 0;
  for (int frame = 0; frame < 60; ++frame) {
    cv::Mat image = Wall(frame);
    const cv::Rect flame = DrawFlame(image, kFlameBase, frame, true);
    for (const CustomObject& object : plugin->RunInference(image, "room")) {
      EXPECT_EQ(object.classId, 0);
      EXPECT_EQ(object.className, "fire");
      EXPECT_GT((object.box & flame).area(), 0) << object.box << " vs flame " << flame;
      ++framesWithFire;
    }
  }
  EXPECT_GE(framesWithFire, 10);
}

TEST_F(DefaultModels, ReportNothingOnAPlainWall) {
  for (int frame = 0; frame < 60; ++frame) {
    EXPECT_TRUE(plugin->RunInference(Wall(frame), "room").empty()) << "frame " << frame;
  }
}

}  // namespace
