// Where the front ends (tev-host, tev-eval, the GStreamer element) look for the module and
// the model folder when they are not told: relative to their own binary, so that a build
// tree and an installed tree (wherever it was unpacked) both work.
#pragma once

#include <string>

namespace tevhost {

// What kind of binary asks, which decides where it sits relative to the module and models.
enum class FrontEnd {
  Program,          // tev-host, tev-eval: the program's own file
  GStreamerPlugin,  // tevfiresmoke: the plug-in file that holds this library
};

// The installed module (by the install layout's relative path), else the module beside
// the binary (the build tree's layout). When neither exists, the installed path, so that
// a failure to load it names where it was expected.
std::string DefaultModulePath(FrontEnd frontEnd);

// models/default of the installed data folder, else of the build tree (beside the program,
// or beside the plug-in's folder). When neither exists, the installed path.
std::string DefaultModelFolder(FrontEnd frontEnd);

}  // namespace tevhost
