// Chooses and loads the engine for a model from what its folder holds:
//   <modelName>.script.json   scripted engine (prepared detection lists)
#pragma once

#include "platform/tevlib/engine.h"

#include <memory>
#include <string>
#include <vector>

namespace tevlib {

// Null when the folder holds nothing loadable for modelName; a file that is there but
// cannot be read is reported with one line on stderr.
std::unique_ptr<Engine> LoadEngine(const std::string& folder, const std::string& modelName,
                                   const std::vector<std::string>& classNames);

}  // namespace tevlib
