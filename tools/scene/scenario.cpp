#include "tools/scene/scenario.h"

#include "tools/scene_drawing/flame.h"
#include "tools/scene_drawing/lamp.h"
#include "tools/scene_drawing/room.h"
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
                  {Scenario::Excluded, "excluded"}};

// The flame grows from this to the larger scale over the clip, relative to a 480-line frame.
constexpr double kFlameFirstScale = 0.7;
constexpr double kFlameLastScale = 1.2;
// DrawFlame's reach at scale 1: half its width plus its sway, and its tallest height.
constexpr double kFlameHalfReach = 23 + 8;
constexpr double kFlameTallest = 110 * 1.05;

bool ShowsFlame(Scenario scenario) {
  return scenario == Scenario::Fire || scenario == Scenario::Excluded;
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
  const int offset = static_cast<int>(cv::RNG(options.seed).uniform(0, std::max(1, width / 5)));
  _flameBase = cv::Point(width * 2 / 5 + offset, options.size.height * 17 / 20);
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
  return (kFlameFirstScale + (kFlameLastScale - kFlameFirstScale) * growth) * _options.size.height /
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

cv::Mat Scene::Render(int frame, std::vector<SceneObject>& objects) const {
  objects.clear();
  cv::Mat image = _room.clone();
  const cv::Rect inFrame(cv::Point(0, 0), image.size());
  const int height = _options.size.height;
  const int width = _options.size.width;

  switch (_options.scenario) {
    case Scenario::NoFire: {
      // Crosses the room from left to right once over the clip.
      const double progress = frame / std::max(1.0, FrameCount() - 1.0);
      const cv::Point feet(cvRound(width * (0.1 + 0.8 * progress)), height * 9 / 10);
      objects.push_back({"person", DrawWalker(image, feet, height * 9 / 20, frame)});
      break;
    }
    case Scenario::Lamp:
      objects.push_back(
          {"lamp", DrawLamp(image, cv::Point(width / 3, height * 17 / 20), height * 9 / 20)});
      break;
    case Scenario::Fire:
    case Scenario::Excluded:
      break;
  }
  if (ShowsFlame(_options.scenario) && frame >= FlameFirstFrame()) {
    const cv::Rect flame = DrawFlame(image, _flameBase, frame, true, FlameScale(frame));
    objects.push_back({"fire", flame & inFrame});
  }
  AddCameraNoise(image, _options.seed, frame);
  return image;
}

}  // namespace tevscene
