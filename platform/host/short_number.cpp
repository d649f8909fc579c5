#include "platform/host/short_number.h"

#include <cstdio>

namespace tevhost {

std::string ShortNumber(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%g", value);
  return text;
}

}  // namespace tevhost
