// A detector's settings record as JSON, field by field: what --print-schema shows.
#pragma once

#include "interface/CustomParams.h"

#include <nlohmann/json.hpp>

namespace tevhost {

nlohmann::ordered_json ParamsToJson(const CustomParams& params);

}  // namespace tevhost
