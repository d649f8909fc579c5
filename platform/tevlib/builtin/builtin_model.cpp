#include "platform/tevlib/builtin/builtin_model.h"

#include "platform/tevlib/builtin/fire_colour_engine.h"
#include "platform/tevlib/builtin/people_hog_engine.h"

#include <fstream>
#include <string>

namespace tevlib {
namespace {

class NoDetections final : public Engine {
 public:
  std::vector<KESTROVIA::Object> Run(const cv::Mat&, const std::string&) override { return {}; }
};

std::string FirstLineTrimmed(const std::filesystem::path& file) {
  std::ifstream in(file);
  std::string line;
  std::getline(in, line);
  const char* space = " \t\r\n";
  const std::size_t first = line.find_first_not_of(space);
  if (first == std::string::npos) {
    return std::string();
  }
  return line.substr(first, line.find_last_not_of(space) - first + 1);
}

}  // namespace

std::unique_ptr<Engine> LoadBuiltinModel(const std::filesystem::path& file,
                                         const ModelSettings& settings) {
  const std::string name = FirstLineTrimmed(file);
  if (name == "fire-colour") {
    return std::make_unique<FireColourEngine>(settings);
  }
  if (name == "people-hog") {
    return std::make_unique<PeopleHogEngine>(settings);
  }
  if (name == "none") {
    return std::make_unique<NoDetections>();
  }
  throw ModelError("\"" + name +
                   "\" is not a built-in model; the file's first line must be fire-colour, "
                   "people-hog or none");
}

}  // namespace tevlib
