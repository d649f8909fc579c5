// tev-scene: writes a synthetic clip of one scenario as an MJPG .avi, its ground truth as
// JSON and, for "excluded", the settings file that excludes the flame. Files are named
// after the scenario unless --name gives another name.
#include "platform/host/finite_number.h"
#include "tools/scene/ground_truth.h"
#include "tools/scene/scenario.h"

#include <CLI/CLI.hpp>
#include <opencv2/videoio.hpp>

#include <filesystem>
#include <fstream>
#include <iostream>

namespace {

namespace fs = std::filesystem;

void WriteJson(const fs::path& path, const nlohmann::ordered_json& json) {
  std::ofstream out(path);
  out << json.dump(2) << '\n';
  if (!out) {
    throw std::runtime_error("cannot write " + path.string() + ": check the folder's permissions");
  }
}

int Generate(const tevscene::SceneOptions& options, const fs::path& folder,
             const std::string& name) {
  fs::create_directories(folder);
  const fs::path video = folder / (name + ".avi");
  cv::VideoWriter writer(video.string(), cv::VideoWriter::fourcc('M', 'J', 'P', 'G'), options.fps,
                         options.size);
  if (!writer.isOpened()) {
    std::cerr << "tev-scene: cannot write " << video.string()
              << ": check that the folder is writable" << std::endl;
    return 1;
  }

  const tevscene::Scene scene(options);
  tevscene::GroundTruth truth;
  std::vector<tevscene::SceneObject> objects;
  for (int frame = 0; frame < scene.FrameCount(); ++frame) {
    writer.write(scene.Render(frame, objects));
    truth.Add(frame, objects);
  }
  writer.release();

  nlohmann::ordered_json truthJson =
      truth.ToJson(video.filename().string(), options.fps, scene.FrameCount(), options.size);
  truthJson["scenario"] = tevscene::ScenarioName(options.scenario);
  truthJson["seed"] = options.seed;
  std::cout << "tev-scene: wrote " << video.string() << " (" << scene.FrameCount() << " frames, "
            << options.size.width << "x" << options.size.height << " at " << options.fps << " fps)"
            << std::endl;
  if (options.scenario == tevscene::Scenario::Excluded) {
    const cv::Rect excluded = scene.ExcludedRectangle();
    const fs::path settings = folder / (name + ".settings.json");
    WriteJson(settings,
              {{"ExclusiveROIs", {{excluded.x, excluded.y, excluded.width, excluded.height}}}});
    truthJson["settings"] = settings.filename().string();
    std::cout << "tev-scene: wrote " << settings.string() << std::endl;
  }
  const fs::path truthFile = folder / (name + ".truth.json");
  WriteJson(truthFile, truthJson);
  std::cout << "tev-scene: wrote " << truthFile.string() << std::endl;
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  CLI::App app{
      "Writes a synthetic scene with its ground truth: <out>/<scenario>.avi and "
      "<out>/<scenario>.truth.json (and <scenario>.settings.json for \"excluded\"); --name "
      "names the files otherwise."};
  tevscene::SceneOptions options;
  std::string scenario;
  std::string folder = ".";
  std::string name;
  int width = options.size.width;
  int height = options.size.height;
  app.add_option("scenario", scenario, "one of: " + CLI::detail::join(tevscene::ScenarioNames()))
      ->required()
      ->check(CLI::IsMember(tevscene::ScenarioNames()));
  app.add_option("-o,--out", folder, "folder to write into")->capture_default_str();
  app.add_option("--name", name, "name of the files written (default: the scenario's)")
      ->check(CLI::Validator(
          [](const std::string& text) {
            return text.find_first_of("/\\") == std::string::npos
                       ? std::string()
                       : "a name, not a path: give the folder with --out";
          },
          "NAME"));
  app.add_option("--width", width, "frame width in pixels")
      ->capture_default_str()
      ->check(CLI::Range(64, 7680));
  app.add_option("--height", height, "frame height in pixels")
      ->capture_default_str()
      ->check(CLI::Range(64, 4320));
  app.add_option("--seconds", options.seconds, "length of the clip")
      ->capture_default_str()
      ->check(tevhost::kFiniteNumber)
      ->check(CLI::Range(0.1, 3600.0));
  app.add_option("--fps", options.fps, "frame rate")
      ->capture_default_str()
      ->check(tevhost::kFiniteNumber)
      ->check(CLI::Range(1.0, 240.0));
  app.add_option("--seed", options.seed,
                 "seed of the room's texture, the noise and the flame's "
                 "place")
      ->capture_default_str();
  app.add_option("--flame-at", options.flameAtSeconds,
                 "second at which the flame (or the smoke of \"smoke\") appears")
      ->capture_default_str()
      ->check(tevhost::kFiniteNumber)
      ->check(CLI::Range(0.0, 3600.0));
  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& error) {
    if (error.get_exit_code() == 0) {
      return app.exit(error);
    }
    std::cerr << "tev-scene: " << error.what() << " (see tev-scene --help)" << std::endl;
    return 2;
  }
  options.scenario = *tevscene::ScenarioNamed(scenario);
  options.size = cv::Size(width, height);
  try {
    return Generate(options, folder, name.empty() ? scenario : name);
  } catch (const std::exception& error) {
    std::cerr << "tev-scene: " << error.what() << std::endl;
    return 1;
  }
}
