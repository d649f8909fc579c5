#include "platform/tevlib/engine_loader.h"

#include "platform/tevlib/builtin/builtin_model.h"
#include "platform/tevlib/onnx/onnx_engine.h"
#include "platform/tevlib/scripted_engine.h"

#include <filesystem>
#include <iostream>
#include <system_error>

namespace tevlib {
namespace {

struct EngineKind {
  const char* suffix;
  const char* what;  // for the failure message
  std::unique_ptr<Engine> (*load)(const std::filesystem::path& file, const ModelSettings& settings);
};

const EngineKind kKinds[] = {
    {".script.json", "script",
     [](const std::filesystem::path& file,
        const ModelSettings& settings) -> std::unique_ptr<Engine> {
       return std::make_unique<ScriptedEngine>(file, settings.classNames);
     }},
    {".onnx", "ONNX model",
     [](const std::filesystem::path& file, const ModelSettings& settings)
         -> std::unique_ptr<Engine> { return std::make_unique<OnnxEngine>(file, settings); }},
    {".builtin", "built-in model", &LoadBuiltinModel},
};

}  // namespace

std::unique_ptr<Engine> LoadEngine(const std::string& folder, const std::string& modelName,
                                   const ModelSettings& settings) {
  const std::filesystem::path base = std::filesystem::path(folder) / modelName;
  for (const EngineKind& kind : kKinds) {
    std::filesystem::path file = base;
    file += kind.suffix;
    // Whatever carries the name is tried, so that a folder or a device there is reported
    // rather than passed over.
    std::error_code error;
    if (!std::filesystem::exists(file, error)) {
      continue;
    }
    try {
      return kind.load(file, settings);
    } catch (const ModelError& failure) {
      std::cerr << "TEVLIB: cannot load " << kind.what << " " << file.string() << ": "
                << failure.what() << std::endl;
      return nullptr;
    }
  }
  return nullptr;
}

}  // namespace tevlib
