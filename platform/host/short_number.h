// Numbers in messages, written as people write them: 10, 12.5, 0.25.
#pragma once

#include <string>

namespace tevhost {

std::string ShortNumber(double value);

}  // namespace tevhost
