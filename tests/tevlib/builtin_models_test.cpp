// The built-in classical models and the default model folder, through the library's
// interface, on synthetic scenes made here.
#include "tests/support/console_capture.h"
#include "tests/support/source_files.h"
#include "tests/support/synthetic_scene.h"
#include "tests/tevlib/tevlib_fixture.h"
#include "tools/scene/scenario.h"

#include <opencv2/imgproc.hpp>
#include <opencv2/objdetect.hpp>

#include <algorithm>
#include <cmath>

namespace {

using tevtest::DrawFlame;
using tevtest::Wall;

const cv::Point kFlameBase(300, 260);

// Things on a wall that are not fire: a white lamp whose brightness flickers, a beige panel,
// a dark red poster.
void DrawDecoys(cv::Mat& image, int frame) {
  const double glow = 200 + 40 * std::sin(frame * 1.3);
  cv::circle(image, {420, 70}, 30, cv::Scalar::all(glow), cv::FILLED);
  cv::rectangle(image, cv::Rect(180, 40, 120, 80), cv::Scalar(170, 182, 196), cv::FILLED);
  cv::rectangle(image, cv::Rect(60, 200, 90, 120), cv::Scalar(40, 40, 120), cv::FILLED);
}

double Iou(const cv::Rect& a, const cv::Rect& b) {
  return static_cast<double>((a & b).area()) / (a | b).area();
}

class BuiltinModels : public TevlibTest {
 protected:
  // Loads "detector" as the built-in model named, with the module's arguments but the
  // confidence threshold given.
  int LoadBuiltin(KESTROVIA::TEVLIB& instance, const std::string& name, float confidence = 0.25f) {
    folder.WriteFile("detector.builtin", name + "\n");
    return instance.LoadModelFromFolder("", "detector", "detector.names", confidence, 0.25f, 0.5f,
                                        1, 30, 1, 0, folder.Path().c_str(), labelMap);
  }
};

TEST_F(BuiltinModels, FireColourFindsAFlickeringFlameInMovingViews) {
  auto instance = MakeInstance();
  ASSERT_EQ(LoadBuiltin(*instance, "fire-colour"), 1);
  ASSERT_EQ(instance->SetTracker(0, 1), 1);
  float best = 0;
  int trackId = 0;
  for (int frame = 0; frame < 30; ++frame) {
    SCOPED_TRACE(frame);
    cv::Mat image = Wall(frame);
    const cv::Rect flame = DrawFlame(image, kFlameBase, frame, true);
    // A followed area around the flame, wandering a little, as the module hands it.
    const cv::Rect view(kFlameBase.x - 112 + (frame % 5) * 4, kFlameBase.y - 150 + (frame % 3) * 6,
                        224, 224);
    const auto results = Run(*instance, image(view));
    if (frame == 0) {
      continue;  // no earlier look at the place yet: colour alone may not pass 0.25
    }
    ASSERT_EQ(results.size(), 1u);
    EXPECT_EQ(results[0].classId, 0);
    EXPECT_EQ(results[0].className, "fire");
    EXPECT_GT(Iou(results[0].box, flame - view.tl()), 0.7) << results[0].box;
    EXPECT_LE(results[0].confidence, 1.0f);
    if (trackId == 0) {
      trackId = results[0].trackId;
      EXPECT_GT(trackId, 0);
    }
    EXPECT_EQ(results[0].trackId, trackId);
    best = std::max(best, results[0].confidence);
  }
  EXPECT_GT(best, 0.5f);
}

TEST_F(BuiltinModels, FireColourIgnoresAGreyWallWithLampAndPanels) {
  auto instance = MakeInstance();
  ASSERT_EQ(LoadBuiltin(*instance, "fire-colour", 0.0f), 1);
  for (int frame = 0; frame < 20; ++frame) {
    cv::Mat image = Wall(frame);
    DrawDecoys(image, frame);
    EXPECT_TRUE(Run(*instance, image).empty()) << frame;
  }
}

TEST_F(BuiltinModels, FireColourScoresAStillFlameLowAndAFlickeringOneHigh) {
  const struct {
    bool flickering;
    float lowest;  // over frames 1 to 19
    float highest;
  } cases[] = {{false, 0.05f, 0.35f}, {true, 0.3f, 1.0f}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.flickering ? "flickering" : "still");
    auto instance = MakeInstance();
    ASSERT_EQ(LoadBuiltin(*instance, "fire-colour", 0.0f), 1);
    float lowest = 1;
    float highest = 0;
    for (int frame = 0; frame < 20; ++frame) {
      cv::Mat image = Wall(frame);
      DrawFlame(image, kFlameBase, frame, c.flickering);
      const auto results = Run(*instance, image);
      ASSERT_EQ(results.size(), 1u) << frame;
      if (frame > 0) {
        lowest = std::min(lowest, results[0].confidence);
        highest = std::max(highest, results[0].confidence);
      }
    }
    EXPECT_GE(lowest, c.lowest);
    EXPECT_LE(highest, c.highest);
    if (c.flickering) {
      EXPECT_GT(highest, 0.6f);
    }
  }
}

TEST_F(BuiltinModels, FireColourDropsDetectionsUnderTheConfidenceThreshold) {
  auto instance = MakeInstance();
  ASSERT_EQ(LoadBuiltin(*instance, "fire-colour", 0.5f), 1);
  for (int frame = 0; frame < 5; ++frame) {
    cv::Mat image = Wall(frame);
    DrawFlame(image, kFlameBase, frame, false);
    EXPECT_TRUE(Run(*instance, image).empty()) << frame;
  }
}

TEST_F(BuiltinModels, FireColourComparesEachCameraWithItsOwnPreviousLook) {
  // Camera "flame" sees a flickering flame; camera "still" sees one that never moves. Their
  // calls alternate, so a memory shared between cameras would see change on both.
  auto instance = MakeInstance();
  ASSERT_EQ(LoadBuiltin(*instance, "fire-colour", 0.0f), 1);
  cv::Mat still = Wall(0);
  DrawFlame(still, kFlameBase, 0, false);
  for (int frame = 0; frame < 10; ++frame) {
    cv::Mat image = Wall(0);
    DrawFlame(image, kFlameBase, frame, true);
    const auto flickering = Run(*instance, image, "flame");
    const auto steady = Run(*instance, still, "still");
    ASSERT_EQ(flickering.size(), 1u);
    ASSERT_EQ(steady.size(), 1u);
    if (frame > 0) {
      EXPECT_LT(steady[0].confidence, 0.35f) << frame;
    }
  }
}

// A dark figure on a light background, the shape the HOG people detector knows; top of the
// head at top, about 100 pixels tall.
void DrawPerson(cv::Mat& image, cv::Point top) {
  const cv::Scalar dark(40, 40, 40);
  cv::circle(image, top + cv::Point(0, 8), 8, dark, cv::FILLED, cv::LINE_AA);
  const std::vector<cv::Point> torso = {top + cv::Point(-12, 18), top + cv::Point(12, 18),
                                        top + cv::Point(10, 55), top + cv::Point(-10, 55)};
  cv::fillConvexPoly(image, torso, dark, cv::LINE_AA);
  cv::line(image, top + cv::Point(-12, 20), top + cv::Point(-17, 52), dark, 5, cv::LINE_AA);
  cv::line(image, top + cv::Point(12, 20), top + cv::Point(17, 52), dark, 5, cv::LINE_AA);
  cv::line(image, top + cv::Point(-6, 55), top + cv::Point(-8, 98), dark, 7, cv::LINE_AA);
  cv::line(image, top + cv::Point(6, 55), top + cv::Point(8, 98), dark, 7, cv::LINE_AA);
}

TEST_F(BuiltinModels, PeopleHogFindsAPersonInTheViewsPixels) {
  auto instance = MakeInstance();
  ASSERT_EQ(LoadBuiltin(*instance, "people-hog"), 1);
  cv::Mat frame(400, 600, CV_8UC3, cv::Scalar::all(200));
  const cv::Point top(380, 150);
  DrawPerson(frame, top);
  const cv::Rect view(200, 60, 320, 260);
  const auto results = Run(*instance, frame(view));
  ASSERT_EQ(results.size(), 1u);
  EXPECT_EQ(results[0].classId, 0);
  EXPECT_EQ(results[0].className, "person");  // no names file: the model's own name
  EXPECT_GT(results[0].confidence, 0.25f);
  EXPECT_LE(results[0].confidence, 1.0f);
  const cv::Rect person(top.x - 20 - view.x, top.y - view.y, 40, 100);
  EXPECT_EQ((results[0].box & person), person) << results[0].box;  // wholly inside the box
  EXPECT_LT(results[0].box.area(), 4 * person.area()) << results[0].box;
}

TEST_F(BuiltinModels, PeopleHogFindsNobodyOnAWallOrInASmallView) {
  auto instance = MakeInstance();
  ASSERT_EQ(LoadBuiltin(*instance, "people-hog"), 1);
  cv::Mat wall = Wall(0);
  DrawDecoys(wall, 0);
  EXPECT_TRUE(Run(*instance, wall).empty());
  cv::Mat small(120, 60, CV_8UC3, cv::Scalar::all(200));  // under the 64 x 128 window
  DrawPerson(small, {30, 10});
  EXPECT_TRUE(Run(*instance, small).empty());
}

TEST_F(BuiltinModels, PeopleHogDoesNotTakeAStandingFlameForAPerson) {
  tevscene::SceneOptions options;  // 1280 x 720, the flame from frame 50 on
  std::vector<tevscene::SceneObject> objects;
  const cv::Mat frame = tevscene::Scene(options).Render(120, objects);
  ASSERT_EQ(objects.back().kind, "fire");
  const cv::Rect flame = objects.back().box;
  // The followed area around the flame widened by 100 pixels, as the filter sees it.
  const cv::Point centre = (flame.tl() + flame.br()) / 2;
  const cv::Rect view = cv::Rect(centre.x - 212, centre.y - 212, 424, 424) &
                        cv::Rect(cv::Point(), frame.size());
  const cv::Rect flameInView = flame - view.tl();

  // OpenCV's people detector alone takes the flame for a person...
  cv::HOGDescriptor hog;
  hog.setSVMDetector(cv::HOGDescriptor::getDefaultPeopleDetector());
  std::vector<cv::Rect> windows;
  std::vector<double> weights;
  hog.detectMultiScale(frame(view), windows, weights);
  ASSERT_TRUE(std::any_of(windows.begin(), windows.end(), [&](const cv::Rect& window) {
    return (window & flameInView).area() > 0;
  }));
  // ...the built-in model does not.
  auto instance = MakeInstance();
  ASSERT_EQ(LoadBuiltin(*instance, "people-hog"), 1);
  for (const KESTROVIA::Object& person : Run(*instance, frame(view))) {
    EXPECT_EQ((person.box & flameInView).area(), 0) << person.box << " on the flame " << flameInView;
  }
}

TEST_F(BuiltinModels, NoneLoadsAndNeverDetects) {
  auto instance = MakeInstance();
  ASSERT_EQ(LoadBuiltin(*instance, "none"), 1);
  EXPECT_EQ(instance->SetTracker(0, 1), 1);
  cv::Mat image = Wall(0);
  DrawFlame(image, kFlameBase, 0, true);
  EXPECT_TRUE(Run(*instance, image).empty());
  EXPECT_TRUE(Run(*instance, image).empty());
}

TEST_F(BuiltinModels, UnknownNamesFailToLoadWithOneLineNamingTheFile) {
  for (const char* name : {"fire-color", "", "FIRE-COLOUR", "yolo"}) {
    SCOPED_TRACE(name);
    auto instance = MakeInstance();
    tevtest::ConsoleCapture console;
    EXPECT_EQ(LoadBuiltin(*instance, name), 0);
    const std::string err = console.Err();
    EXPECT_NE(err.find("TEVLIB: cannot load built-in model " + folder.File("detector.builtin")),
              std::string::npos)
        << err;
    EXPECT_NE(err.find("must be fire-colour, people-hog or none"), std::string::npos) << err;
    EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;
  }
}

TEST_F(BuiltinModels, ColourFolderLoadsAsTheModuleLoadsIt) {
  const std::string defaults = tevtest::SourcePath("models/colour");
  auto detector = MakeInstance();
  ASSERT_EQ(detector->LoadModelFromFolder("", "detector", "detector.names", 0.25f, 0.25f, 0.5f, 1,
                                          30, 1, 0, defaults.c_str(), labelMap),
            1);
  EXPECT_EQ(labelMap.rfind("0:fire\n1:other\n2:smoke\n", 0), 0u) << labelMap;
  EXPECT_EQ(detector->SetTracker(0, 1), 1);

  auto filter = MakeInstance();
  std::string filterLabels;
  ASSERT_EQ(filter->LoadModelFromFolder("", "filter", "filter.names", 0.25f, 0.5f, 0.5f, 1, 30, 1,
                                        0, defaults.c_str(), filterLabels),
            1);
  EXPECT_EQ(std::count(filterLabels.begin(), filterLabels.end(), '\n'), 80);
  EXPECT_EQ(filterLabels.rfind("0:person\n1:bicycle\n2:car\n", 0), 0u);
  EXPECT_NE(filterLabels.find("\n79:toothbrush\n"), std::string::npos);

  // The default detector on a flickering flame in the views a module hands it.
  float best = 0;
  int trackId = -1;
  for (int frame = 0; frame < 20; ++frame) {
    cv::Mat image = Wall(frame);
    DrawFlame(image, kFlameBase, frame, true);
    const auto results = Run(*detector, image(cv::Rect(150, 60, 320, 300)));
    if (frame > 0) {
      ASSERT_EQ(results.size(), 1u) << frame;
      EXPECT_EQ(results[0].className, "fire");
      EXPECT_EQ(results[0].trackId, trackId == -1 ? results[0].trackId : trackId);
      trackId = results[0].trackId;
      best = std::max(best, results[0].confidence);
    }
  }
  EXPECT_GT(best, 0.5f);
  EXPECT_GT(trackId, 0);
}

}  // namespace
