#include "platform/host/failed_frames_line.h"

#include <regex>

namespace tevhost {

std::optional<std::uint64_t> FailedFramesInLine(const std::string& line) {
  static const std::regex kLine(R"(^TEVCustomFS::\w+: .* \((\d{1,19}) frames? failed so far\)$)");
  std::smatch match;
  if (!std::regex_match(line, match, kLine)) {
    return std::nullopt;
  }
  return std::stoull(match[1].str());
}

}  // namespace tevhost
