#!/usr/bin/env bash
# Compiles the module's sources and its public headers for Windows x86-64 with the MinGW-w64
# cross compiler, against OpenCV's headers. Object files only: there is no Windows OpenCV
# to link against here. Keeps the export macros, the extern "C" factory and the headers
# portable, and checks that Create and Release are exported from the DLL by plain name.
set -euo pipefail
cd "$(dirname "$0")/.."

compiler=x86_64-w64-mingw32-g++-posix
if ! command -v "$compiler" >/dev/null; then
  echo "check-windows: $compiler is missing; run scripts/install-deps.sh" >&2
  exit 1
fi
opencv_include=$(pkg-config --cflags-only-I opencv4 | sed 's/-I//g' | awk '{print $1}')
flags=(-std=c++17 -Wall -Wextra -Wpedantic -Werror -I. -isystem "$opencv_include")
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT

# The module, as the DLL is built.
sources=$(git ls-files 'interface/*.cpp' 'detector/*.cpp' 'regions/*.cpp' 'colour/*.cpp' \
  'tracking/*.cpp' 'stages/*.cpp')
printf '%s\n' $sources | xargs -P "$(nproc)" -I{} sh -c \
  '"$0" "$@" -DTEV_MODULE_BUILD -c "{}" -o "'"$out"'/$(echo {} | tr / _).o"' \
  "$compiler" "${flags[@]}"

# A host compiling against the interface headers imports what the DLL exports.
printf '#include "interface/TEVCustomModule.h"\nITEVCustomClass* (*create)() = &Create;\n' \
  > "$out/host.cpp"
"$compiler" "${flags[@]}" -c "$out/host.cpp" -o "$out/host.o"

x86_64-w64-mingw32-objcopy -O binary --only-section=.drectve "$out/detector_factory.cpp.o" \
  "$out/directives"
exported=$(grep -a -o 'export:"[^"]*"' "$out/directives" | sed 's/export:"\(.*\)"/\1/')
for symbol in Create Release; do
  if ! grep -qx "$symbol" <<<"$exported"; then
    echo "check-windows: the DLL would not export $symbol by its plain name" >&2
    exit 1
  fi
done
echo "check-windows: $(wc -w <<<"$sources") module sources and the host headers compile for Windows x86-64"
