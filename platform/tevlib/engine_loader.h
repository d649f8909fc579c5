// Chooses and loads the engine for a model from what its folder holds, the first found of:
//   <modelName>.script.json   scripted engine (prepared detection lists)
//   <modelName>.onnx          YOLO-style detector run by OpenCV's dnn module
//   <modelName>.builtin       a built-in classical model named in the file
#pragma once

#include "platform/tevlib/engine.h"

#include <memory>
#include <string>

namespace tevlib {

// Null when the folder holds nothing loadable for modelName; a file that is there but
// cannot be used is reported with one line on stderr naming it.
std::unique_ptr<Engine> LoadEngine(const std::string& folder, const std::string& modelName,
                                   const ModelSettings& settings);

}  // namespace tevlib
