#include "platform/tevlib/engine_loader.h"

#include "platform/tevlib/scripted_engine.h"

#include <filesystem>
#include <iostream>
#include <system_error>

namespace tevlib {

std::unique_ptr<Engine> LoadEngine(const std::string& folder, const std::string& modelName,
                                   const std::vector<std::string>& classNames) {
  const std::filesystem::path base = std::filesystem::path(folder) / modelName;

  std::filesystem::path script = base;
  script += ".script.json";
  std::error_code error;
  if (std::filesystem::is_regular_file(script, error)) {
    try {
      return std::make_unique<ScriptedEngine>(script, classNames);
    } catch (const ScriptError& failure) {
      std::cerr << "TEVLIB: cannot load script " << script.string() << ": " << failure.what()
                << std::endl;
      return nullptr;
    }
  }
  return nullptr;
}

}  // namespace tevlib
