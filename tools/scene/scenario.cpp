#include "tools/scene/scenario.h"

#include "tools/scene_drawing/beacon.h"
#include "tools/scene_drawing/car.h"
#include "tools/scene_drawing/flame.h"
#include "tools/scene_drawing/lamp.h"
#include "tools/scene_drawing/plume.h"
#include "tools/scene_drawing/reflection.h"
#include "tools/scene_drawing/room.h"
#include "tools/scene_drawing/screen.h"
#include "tools/scene_drawing/sunlight.h"
#include "tools/scene_drawing/walker.h"

#include <algorithm>
#include <cmath>

namespace tevscene {
namespace {

const struct {
  Scenario scenario;
  const char* name;
} kScenarios[] = {{Scenario::Fire, "fire"},
                  {Scenario::NoFire, "no-fire"},
                  {Scenario::Lamp, "lamp"},
                  {Scenario::Excluded, "excluded"},
                  {Scenario::SmallFire, "small-fire"},
                  {Scenario::LargeFire, "large-fire"},
                  {Scenario::EdgeFire, "edge-fire"},
                  {Scenario::CornerFire, "corner-fire"},
                  {Scenario::Smoke, "smoke"},
                  {Scenario::BlinkingLight, "blinking-light"},
                  {Scenario::Sunset, "sunset"},
                  {Scenario::SunGlare, "sun-glare"},
                  {Scenario::FloorReflection, "floor-reflection"},
                  {Scenario::OrangePerson, "orange-person"},
                  {Scenario::RedCar, "red-car"},
                  {Scenario::FlickeringScreen, "flickering-screen"}};

// The flame grows from this to the larger scale over the clip, relative to a 480-line frame.
constexpr double kFlameFirstScale = 0.7;
constexpr double kFlameLastScale = 1.2;
// DrawFlame's reach at scale 1: half its width plus its sway, and its tallest height.
constexpr double kFlameHalfReach = 23 + 8;
constexpr double kFlameTallest = 110 * 1.05;
// The flames of "small-fire" and "large-fire" relative to the flame of "fire".
constexpr double kSmallFlame = 0.35;
constexpr double kLargeFlame = 2.2;

// The beacon of "blinking-light" is lit for this many frames, then dark as long.
constexpr int kBlinkFrames = 10;
// The car of "red-car" enters at this second and takes this long to cross.
constexpr double kCarEntersAt = 1.0;
constexpr double kCarCrossing = 3.5;

bool ShowsFlame(Scenario scenario) {
  switch (scenario) {
    case Scenario::Fire:
    case Scenario::Excluded:
    case Scenario::SmallFire:
    case Scenario::LargeFire:
    case Scenario::EdgeFire:
    case Scenario::CornerFire:
      return true;
    default:
      return false;
  }
}

double FlameSize(Scenario scenario) {
  switch (scenario) {
    case Scenario::SmallFire:
      return kSmallFlame;
    case Scenario::LargeFire:
      return kLargeFlame;
    default:
      return 1.0;
  }
}

// A rectangle given in shares of the frame's width and height.
cv::Rect Share(cv::Size size, double x, double y, double width, double height) {
  return cv::Rect(cvRound(size.width * x), cvRound(size.height * y), cvRound(size.width * width),
                  cvRound(size.height * height));
}

}  // namespace

std::optional<Scenario> ScenarioNamed(const std::string& name) {
  for (const auto& entry : kScenarios) {
    if (name == entry.name) {
      return entry.scenario;
    }
  }
  return std::nullopt;
}

std::string ScenarioName(Scenario scenario) {
  for (const auto& entry : kScenarios) {
    if (entry.scenario == scenario) {
      return entry.name;
    }
  }
  return "";
}

std::vector<std::string> ScenarioNames() {
  std::vector<std::string> names;
  for (const auto& entry : kScenarios) {
    names.emplace_back(entry.name);
  }
  return names;
}

Scene::Scene(const SceneOptions& options)
    : _options(options), _room(DrawRoom(options.size, options.seed)) {
  // The seed moves the flame along the floor, away from the window and the cabinet.
  const int width = options.size.width;
  const int height = options.size.height;
  const int offset = static_cast<int>(cv::RNG(options.seed).uniform(0, std::max(1, width / 5)));
  _flameBase = cv::Point(width * 2 / 5 + offset, height * 17 / 20);
  // At the edges the flame is partly outside the frame.
  if (options.scenario == Scenario::EdgeFire) {
    _flameBase = cv::Point(width / 80, height * 17 / 20);
  } else if (options.scenario == Scenario::CornerFire) {
    _flameBase = cv::Point(width - 1 - width / 80, height - 1);
  }
}

int Scene::FrameCount() const {
  return cvRound(_options.seconds * _options.fps);
}

int Scene::FlameFirstFrame() const {
  return cvRound(_options.flameAtSeconds * _options.fps);
}

double Scene::FlameScale(int frame) const {
  const int first = FlameFirstFrame();
  const double growth =
      std::clamp((frame - first) / std::max(1.0, FrameCount() - 1.0 - first), 0.0, 1.0);
  return FlameSize(_options.scenario) *
         (kFlameFirstScale + (kFlameLastScale - kFlameFirstScale) * growth) * _options.size.height /
         480.0;
}

cv::Rect Scene::ExcludedRectangle() const {
  const double scale = kFlameLastScale * _options.size.height / 480.0;
  const int halfWidth = static_cast<int>(std::ceil(kFlameHalfReach * scale * 1.25));
  const int height = static_cast<int>(std::ceil(kFlameTallest * scale * 1.2));
  const int below = static_cast<int>(std::ceil(10 * scale));
  return cv::Rect(_flameBase.x - halfWidth, _flameBase.y - height, 2 * halfWidth, height + below) &
         cv::Rect(cv::Point(0, 0), _options.size);
}

void Scene::DrawDistractors(cv::Mat& image, int frame, std::vector<SceneObject>& objects) const {
  const cv::Size size = _options.size;
  const int height = size.height;
  const int width = size.width;
  const double progress = frame / std::max(1.0, FrameCount() - 1.0);
  switch (_options.scenario) {
    case Scenario::NoFire:
    case Scenario::OrangePerson: {
      // Crosses the room from left to right once over the clip.
      const cv::Point feet(cvRound(width * (0.1 + 0.8 * progress)), height * 9 / 10);
      const cv::Scalar clothes =
          _options.scenario == Scenario::OrangePerson ? kOrangeClothes : kDarkClothes;
      objects.push_back({"person", DrawWalker(image, feet, height * 9 / 20, frame, clothes)});
      break;
    }
    case Scenario::Lamp:
      objects.push_back(
          {"lamp", DrawLamp(image, cv::Point(width / 3, height * 17 / 20), height * 9 / 20)});
      break;
    case Scenario::BlinkingLight: {
      const bool lit = (frame / kBlinkFrames) % 2 == 0;
      objects.push_back({"blinking-light", DrawBeacon(image, {width * 62 / 100, height * 22 / 100},
                                                      std::max(3, height / 20), lit)});
      break;
    }
    case Scenario::Sunset: {
      objects.push_back({"sunset", DrawSunsetSky(image, WindowGlass(size), frame)});
      break;
    }
    case Scenario::SunGlare:
      objects.push_back({"sun-glare", DrawSunPatch(image, Share(size, 0.35, 0.74, 0.28, 0.16),
                                                   frame, _options.seed)});
      break;
    case Scenario::FloorReflection:
      objects.push_back(
          {"reflection", DrawFloorReflection(image, Share(size, 0.55, 0.72, 0.08, 0.26), frame)});
      break;
    case Scenario::RedCar: {
      const double seconds = frame / _options.fps - kCarEntersAt;
      const int length = width * 28 / 100;
      if (seconds >= 0.0 && seconds <= kCarCrossing) {
        const double x = -length / 2.0 + (width + length) * seconds / kCarCrossing;
        const cv::Rect car = DrawCar(image, {cvRound(x), height * 93 / 100}, length);
        if (!car.empty()) {
          objects.push_back({"car", car});
        }
      }
      break;
    }
    case Scenario::FlickeringScreen:
      objects.push_back(
          {"screen", DrawScreen(image, Share(size, 0.42, 0.18, 0.22, 0.24), frame, _options.seed)});
      break;
    default:
      break;
  }
}

cv::Mat Scene::Render(int frame, std::vector<SceneObject>& objects) const {
  objects.clear();
  cv::Mat image = _room.clone();
  const cv::Rect inFrame(cv::Point(0, 0), image.size());
  DrawDistractors(image, frame, objects);
  if (ShowsFlame(_options.scenario) && frame >= FlameFirstFrame()) {
    const cv::Rect flame = DrawFlame(image, _flameBase, frame, true, FlameScale(frame));
    objects.push_back({"fire", flame & inFrame});
  }
  if (_options.scenario == Scenario::Smoke && frame >= FlameFirstFrame()) {
    // From behind the cabinet's end, up the wall.
    const cv::Point source(_options.size.width * 3 / 5, FloorLine(_options.size));
    const cv::Rect plume =
        DrawPlume(image, source, frame - FlameFirstFrame(), _options.size.height / 480.0);
    if (!plume.empty()) {
      objects.push_back({"smoke", plume});
    }
  }
  AddCameraNoise(image, _options.seed, frame);
  return image;
}

}  // namespace tevscene
