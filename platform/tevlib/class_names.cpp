#include "platform/tevlib/class_names.h"

#include <fstream>

namespace tevlib {

std::vector<std::string> ReadClassNames(const std::filesystem::path& file) {
  std::vector<std::string> names;
  std::ifstream in(file);
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') {
      line.pop_back();
    }
    names.push_back(line);
  }
  return names;
}

std::string LabelMapText(const std::vector<std::string>& classNames) {
  std::string text;
  for (std::size_t index = 0; index < classNames.size(); ++index) {
    text += std::to_string(index) + ":" + classNames[index] + "\n";
  }
  return text;
}

std::string ClassName(const std::vector<std::string>& classNames, int classId,
                      const std::string& fallback) {
  if (classId < 0 || static_cast<std::size_t>(classId) >= classNames.size()) {
    return fallback;
  }
  return classNames[static_cast<std::size_t>(classId)];
}

}  // namespace tevlib
