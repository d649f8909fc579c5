// The exception a script entry {"throw": "other"} raises: deliberately not derived from
// std::exception, to test callers that must stop every exception.
#pragma once

#include "inference/tevlib_export.h"

namespace tevlib {

struct TEVLIB_API ScriptedNonStdError {
  const char* where;
};

}  // namespace tevlib
