// A check for the numeric options of the command-line programs. CLI11's ranges let NaN
// through, since every comparison with it is false; "--threshold nan" must be refused.
#pragma once

#include <CLI/CLI.hpp>

#include <cmath>
#include <string>

namespace tevhost {

inline const CLI::Validator kFiniteNumber(
    [](std::string& text) {
      double value = 0.0;
      if (CLI::detail::lexical_cast(text, value) && !std::isfinite(value)) {
        return "must be a finite number, not " + text;
      }
      return std::string();
    },
    "");

}  // namespace tevhost
