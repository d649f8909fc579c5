// <modelName>.builtin: a file whose first line names one of the built-in classical models:
//   fire-colour   flame colour and flicker (fire_colour_engine.h), class 0 "fire"
//   people-hog    OpenCV's HOG people detector (people_hog_engine.h), class 0 "person"
//   none          loads and never detects
// Their class is named from the class names file when it has one, by the model otherwise.
#pragma once

#include "platform/tevlib/engine.h"

#include <filesystem>
#include <memory>

namespace tevlib {

// Throws ModelError when the file names no built-in model.
std::unique_ptr<Engine> LoadBuiltinModel(const std::filesystem::path& file,
                                         const ModelSettings& settings);

}  // namespace tevlib
