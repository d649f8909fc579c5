#!/usr/bin/env bash
# Configures and builds the module alone (TEV_MODULE_ONLY) against an existing inference
# library, as an integrator with the maker's TEVLIB does, and checks that nothing but
# OpenCV was looked for and that the module exports only its plug-in surface.
#   check-module-only.sh <TEVLIB library>
set -euo pipefail
cd "$(dirname "$0")/.."

tevlib=$(realpath "${1:?usage: check-module-only.sh <path to libTEVLIB.so>}")
build=${MODULE_ONLY_BUILD_DIR:-build-module-only}
rm -rf "$build"
cmake -S . -B "$build" -DTEV_MODULE_ONLY=ON -DTEV_TEVLIB_LIBRARY="$tevlib" > /dev/null
# What finding the extras' packages leaves in the cache: none of it may be there.
searched=$(grep -E '^(GTest|benchmark|CLI11|nlohmann_json)_DIR:|^PKG_CONFIG_EXECUTABLE:' \
  "$build/CMakeCache.txt" || true)
if [ -n "$searched" ]; then
  echo "check-module-only: the module-only configure looked for more than OpenCV:" >&2
  echo "$searched" >&2
  exit 1
fi
cmake --build "$build" -j "$(nproc)"
built=$(find "$build" -maxdepth 1 -type f \( -executable -o -name '*.so' \) | sort)
if [ "$built" != "$build/TEVCustomFireNSmokeDetection.so" ]; then
  echo "check-module-only: expected the module alone, built: $built" >&2
  exit 1
fi
bash scripts/check-exports.sh "$build/TEVCustomFireNSmokeDetection.so"
echo "check-module-only: the module builds alone with OpenCV core and imgproc and $tevlib"
