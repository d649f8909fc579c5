// A temporary model folder for the stand-in inference library, removed with the object.
#pragma once

#include <string>
#include <vector>

namespace tevtest {

class ModelFolder {
 public:
  ModelFolder();
  ~ModelFolder();
  ModelFolder(const ModelFolder&) = delete;
  ModelFolder& operator=(const ModelFolder&) = delete;

  const std::string& Path() const { return _path; }
  std::string File(const std::string& name) const;

  // Writes <model>.script.json.
  void WriteScript(const std::string& model, const std::string& script) const;
  // Writes <model>.names, one name a line.
  void WriteNames(const std::string& model, const std::vector<std::string>& names) const;
  void WriteFile(const std::string& name, const std::string& content) const;

 private:
  std::string _path;
};

// Scripts for "detector" and "filter" that find nothing: the smallest folder Initialize
// accepts.
void WriteEmptyModels(const ModelFolder& folder);

}  // namespace tevtest
