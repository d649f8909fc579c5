// The module's own count of failed frames, read from its console line. The module returns
// an empty list from a frame it could not process and says so on its error stream, at most
// once a minute, each line ending with the total: "(<N> frames failed so far)". Front ends
// read that total to report how many frames failed.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace tevhost {

// The total in a failed-frames line of the module, or nothing for any other line.
std::optional<std::uint64_t> FailedFramesInLine(const std::string& line);

}  // namespace tevhost
