#include "platform/host/json_file.h"

#include "platform/host/host_failure.h"
#include "platform/json/bounded_json.h"

#include <filesystem>

namespace tevhost {

nlohmann::json ReadJsonFile(const std::string& path, const std::string& what,
                            const std::string& advice) {
  try {
    return tevjson::ReadBoundedJsonFile(path);
  } catch (const tevjson::JsonFileError& error) {
    std::error_code ignored;
    const bool missing = !std::filesystem::exists(path, ignored);
    throw HostFailure(FailureKind::Usage,
                      what + " " + path + " " + error.what() + (missing ? ": " + advice : ""));
  }
}

}  // namespace tevhost
