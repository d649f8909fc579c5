#include "detector/fixed_text.h"

#include <cstdio>

std::string FixedText(double value) {
  // The largest finite double needs 309 digits before the point.
  char text[320];
  const int length = std::snprintf(text, sizeof text, "%f", value);
  return std::string(text, length > 0 ? static_cast<std::size_t>(length) : 0);
}
