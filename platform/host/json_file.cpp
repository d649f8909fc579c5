#include "platform/host/json_file.h"

#include "platform/host/host_failure.h"

#include <fstream>
#include <sstream>

namespace tevhost {

nlohmann::json ReadJsonFile(const std::string& path, const std::string& what,
                            const std::string& advice) {
  std::ifstream in(path);
  if (!in) {
    throw HostFailure(FailureKind::Usage, "cannot read the " + what + " " + path + ": " + advice);
  }
  std::stringstream text;
  text << in.rdbuf();
  try {
    return nlohmann::json::parse(text.str());
  } catch (const nlohmann::json::exception& error) {
    throw HostFailure(FailureKind::Usage,
                      what + " " + path + " is not valid JSON: " + error.what());
  }
}

}  // namespace tevhost
