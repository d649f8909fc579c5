// A JSON file read whole, with the failures a user can act on.
#pragma once

#include <nlohmann/json.hpp>

#include <string>

namespace tevhost {

// Parses the file at path. Throws HostFailure (Usage): "cannot read the <what> <path>:
// <advice>" when it cannot be opened, "<what> <path> is not valid JSON: ..." for a syntax
// error or a number too large for any C++ type.
nlohmann::json ReadJsonFile(const std::string& path, const std::string& what,
                            const std::string& advice);

}  // namespace tevhost
