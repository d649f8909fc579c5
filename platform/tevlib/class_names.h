// Class names of a model: the file names one class a line, the line number being the
// class index. The label map handed back by LoadModelFromFolder lists them as
// "<index>:<name>" lines, in index order.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace tevlib {

// Empty when the file does not exist or cannot be read.
std::vector<std::string> ReadClassNames(const std::filesystem::path& file);

std::string LabelMapText(const std::vector<std::string>& classNames);

// The name of classId, or fallback when the names do not reach it.
std::string ClassName(const std::vector<std::string>& classNames, int classId,
                      const std::string& fallback = std::string());

}  // namespace tevlib
