// The scenarios of the scene generator: what is in the room in every frame, and where.
// Rendering is deterministic: the same options give the same frames and the same truth.
#pragma once

#include <opencv2/core.hpp>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tevscene {

// What a fire detector meets in practice: fires of several sizes and places, smoke, and
// the flame-coloured or flickering things operators report as false alarms.
enum class Scenario {
  Fire,
  NoFire,
  Lamp,
  Excluded,
  SmallFire,
  LargeFire,
  EdgeFire,
  CornerFire,
  Smoke,
  BlinkingLight,
  Sunset,
  SunGlare,
  FloorReflection,
  OrangePerson,
  RedCar,
  FlickeringScreen,
};

// The scenario of a name ("fire", "no-fire", "lamp", "small-fire"...), if there is one.
std::optional<Scenario> ScenarioNamed(const std::string& name);
std::string ScenarioName(Scenario scenario);
std::vector<std::string> ScenarioNames();

struct SceneOptions {
  Scenario scenario = Scenario::Fire;
  cv::Size size{1280, 720};
  double seconds = 10.0;
  double fps = 25.0;
  std::uint64_t seed = 1;
  double flameAtSeconds = 2.0;  // when the flame (or the smoke of "smoke") appears
};

// One thing seen in a frame: "fire" or "smoke", or a distractor ("person", "lamp", "car"...).
struct SceneObject {
  std::string kind;
  cv::Rect box;
};

class Scene {
 public:
  explicit Scene(const SceneOptions& options);

  int FrameCount() const;
  // The first frame with the flame, or with the smoke of "smoke".
  int FlameFirstFrame() const;
  // Renders one frame; objects receives what it shows, clipped to the frame.
  cv::Mat Render(int frame, std::vector<SceneObject>& objects) const;
  // The rectangle the "excluded" scenario's settings exclude: the flame's whole reach.
  cv::Rect ExcludedRectangle() const;

 private:
  double FlameScale(int frame) const;
  // Draws the scenario's distractors of the frame and records them.
  void DrawDistractors(cv::Mat& image, int frame, std::vector<SceneObject>& objects) const;

  SceneOptions _options;
  cv::Mat _room;
  cv::Point _flameBase;
};

}  // namespace tevscene
