#include "tests/support/model_folder.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>

namespace tevtest {

ModelFolder::ModelFolder() {
  std::string pattern = (std::filesystem::temp_directory_path() / "tev-models-XXXXXX").string();
  if (mkdtemp(pattern.data()) == nullptr) {
    throw std::runtime_error("cannot create a temporary model folder");
  }
  _path = pattern;
}

ModelFolder::~ModelFolder() {
  std::error_code ignored;
  std::filesystem::remove_all(_path, ignored);
}

std::string ModelFolder::File(const std::string& name) const {
  return (std::filesystem::path(_path) / name).string();
}

void ModelFolder::WriteFile(const std::string& name, const std::string& content) const {
  std::ofstream out(File(name), std::ios::binary | std::ios::trunc);
  out << content;
  if (!out) {
    throw std::runtime_error("cannot write " + File(name));
  }
}

void ModelFolder::WriteScript(const std::string& model, const std::string& script) const {
  WriteFile(model + ".script.json", script);
}

void ModelFolder::WriteNames(const std::string& model,
                             const std::vector<std::string>& names) const {
  std::string content;
  for (const std::string& name : names) {
    content += name + "\n";
  }
  WriteFile(model + ".names", content);
}

void WriteEmptyModels(const ModelFolder& folder) {
  folder.WriteScript("detector", R"({"calls": []})");
  folder.WriteScript("filter", R"({"calls": []})");
}

}  // namespace tevtest
