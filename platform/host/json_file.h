// A JSON file read whole, within the size and depth limits of platform/json, with the
// failures a user can act on.
#pragma once

#include <nlohmann/json.hpp>

#include <string>

namespace tevhost {

// Parses the file at path. Throws HostFailure (Usage) naming the cause: "<what> <path> does
// not exist: <advice>", "... is a directory, not a file", "... is larger than 64 MiB",
// "... nests deeper than 64 levels", "... is not valid JSON: ..." (also for a number too
// large for any C++ type).
nlohmann::json ReadJsonFile(const std::string& path, const std::string& what,
                            const std::string& advice);

}  // namespace tevhost
