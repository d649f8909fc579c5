#include "platform/host/default_paths.h"

#include <filesystem>

namespace tevhost {

std::string BuiltModulePath() {
  return TEV_BUILT_MODULE;
}

std::string DefaultModelFolder() {
  const std::string relative = "models/default";
  return std::filesystem::is_directory(relative) ? relative : TEV_SOURCE_MODEL_FOLDER;
}

}  // namespace tevhost
