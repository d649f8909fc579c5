#!/usr/bin/env bash
# Builds the module's DLL for Windows x86-64 from the real CMake project, module-only, with
# the MinGW-w64 cross compiler, and checks its export table against
# cmake/plugin_exports.allow.
#
# No Windows build of OpenCV exists here, and the inference library is the maker's: both
# are replaced by import libraries made (dlltool) from the symbols the module's objects
# import, with Debian's OpenCV headers. The DLL therefore links exactly as it would against
# the real ones, everything of our own resolved, but it is not meant to run.
set -euo pipefail
cd "$(dirname "$0")/.."

prefix=x86_64-w64-mingw32
if ! command -v "$prefix-g++-posix" >/dev/null; then
  echo "check-windows: $prefix-g++-posix is missing; run scripts/install-deps.sh" >&2
  exit 1
fi
build=${WINDOWS_BUILD_DIR:-build-windows}
imports=$build/imports
mkdir -p "$imports"
imports=$(cd "$imports" && pwd)
opencv_include=$(pkg-config --cflags-only-I opencv4 | sed 's/-I//g' | awk '{print $1}')
opencv_version=$(pkg-config --modversion opencv4)

# OpenCV as find_package sees it: the headers, and one import library for core and imgproc.
cat > "$imports/OpenCVConfig.cmake" <<CONFIG
set(OpenCV_VERSION $opencv_version)
set(OpenCV_INCLUDE_DIRS "$opencv_include")
foreach(component core imgproc)
  if(NOT TARGET opencv_\${component})
    add_library(opencv_\${component} SHARED IMPORTED)
    set_target_properties(opencv_\${component} PROPERTIES
      IMPORTED_IMPLIB "$imports/libopencv_world.dll.a"
      INTERFACE_INCLUDE_DIRECTORIES "$opencv_include")
  endif()
endforeach()
set(OpenCV_LIBS opencv_core opencv_imgproc)
CONFIG
cat > "$imports/OpenCVConfigVersion.cmake" <<CONFIG
set(PACKAGE_VERSION $opencv_version)
set(PACKAGE_VERSION_COMPATIBLE TRUE)
CONFIG

cmake -S . -B "$build" -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
  -DCMAKE_BUILD_TYPE=Release -DTEV_MODULE_ONLY=ON -DOpenCV_DIR="$imports" \
  -DTEV_TEVLIB_LIBRARY="$imports/libTEVLIB.dll.a" > "$build/configure.log"
cmake --build "$build" -j "$(nproc)" --target tev_detector

# What the module's objects use but do not define, by the library that defines it.
objects=$(find "$build/CMakeFiles/tev_detector.dir" -name '*.obj')
defined=$($prefix-nm --defined-only $objects | awk 'NF == 3 {print $3}' | sort -u)
undefined=$($prefix-nm -u $objects | awk '{sub(/^__imp_/, "", $NF); print $NF}' | sort -u |
  comm -23 - <(echo "$defined"))
write_import_library() {  # <dll name> <import library> <demangled prefix pattern>
  { echo "LIBRARY $1"; echo "EXPORTS"
    paste <(echo "$undefined") <(echo "$undefined" | $prefix-c++filt) |
      awk -F'\t' -v pattern="$3" '$2 ~ pattern {print $1}'
  } > "$imports/$(basename "$2" .dll.a).def"
  $prefix-dlltool -d "$imports/$(basename "$2" .dll.a).def" -l "$2" -D "$1"
}
write_import_library opencv_world.dll "$imports/libopencv_world.dll.a" \
  '^((typeinfo|vtable|typeinfo name) for )?cv::'
write_import_library TEVLIB.dll "$imports/libTEVLIB.dll.a" '^KESTROVIA::TEVLIB::'

cmake --build "$build" -j "$(nproc)" --target TEVCustomFireNSmokeDetection
bash scripts/check-exports.sh "$build/TEVCustomFireNSmokeDetection.dll"
echo "check-windows: the module-only project configures and links the DLL for Windows x86-64"
