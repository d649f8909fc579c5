// Where the front ends (tev-host, tev-eval, the GStreamer element) look for the module and
// the model folder when they are not told.
#pragma once

#include <string>

namespace tevhost {

// The module built beside the front ends.
std::string BuiltModulePath();

// models/default of the working directory when run from the repository root, the source
// tree's otherwise (e.g. when run from the build tree).
std::string DefaultModelFolder();

}  // namespace tevhost
