#!/usr/bin/env bash
# Unpacks the Debian package into a scratch root (dpkg -x: nothing is installed on the
# machine) and runs what it installed, from there only: tev-scene writes a small fire clip,
# tev-host finds the module and the models beside itself and must raise the alarm, and
# GStreamer finds the installed element with its defaults pointing into the scratch root,
# systemd accepts the service unit, and a CMake project builds a host against the installed
# package (find_package(tev)).
#   check-package.sh <package.deb>
set -euo pipefail

package=$(realpath "${1:?usage: check-package.sh <package.deb>}")
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
dpkg-deb --field "$package" Package Version Depends
dpkg -x "$package" "$root"
bin=$root/usr/bin
plugins=$(dirname "$(find "$root" -name libgsttevfiresmoke.so)")
cd "$root"  # away from any source or build tree

"$bin/tev-scene" fire --out "$root/clip" --width 320 --height 240 --seconds 5 --seed 1 \
  > /dev/null
"$bin/tev-host" "$root/clip/fire.avi" --events "$root/events.jsonl" > "$root/host.log"
if ! grep -q '"event":"alarm-start"' "$root/events.jsonl"; then
  echo "check-package: the installed tev-host raised no alarm on the fire clip" >&2
  cat "$root/host.log" "$root/events.jsonl" >&2
  exit 1
fi
echo "check-package: installed tev-host: $(grep -c '"event":"alarm-start"' "$root/events.jsonl") alarm(s) on the fire clip"

export GST_PLUGIN_PATH=$plugins GST_REGISTRY=$root/registry.bin
inspect=$(gst-inspect-1.0 tevfiresmoke)
for default in "$root/usr/lib/.*/tev/TEVCustomFireNSmokeDetection.so" \
               "$root/usr/share/tev/models/default"; do
  if ! grep -Eq "Default: \"$default\"" <<<"$inspect"; then
    echo "check-package: the installed element's defaults do not point at $default:" >&2
    echo "$inspect" >&2
    exit 1
  fi
done
gst-launch-1.0 -m filesrc location="$root/clip/fire.avi" ! decodebin ! videoconvert \
  ! video/x-raw,format=BGR ! tevfiresmoke ! fakesink > "$root/gst.log"
if ! grep -q 'alarm-start' "$root/gst.log"; then
  echo "check-package: the installed element raised no alarm on the fire clip" >&2
  tail -n 40 "$root/gst.log" >&2
  exit 1
fi
echo "check-package: installed tevfiresmoke found by gst-inspect-1.0 and raising the alarm"

# The service's unit, checked by systemd against the unpacked tev-host.
unit=$(find "$root" -name 'tev-host@.service')
mkdir "$root/units"
sed "s|/usr/bin/tev-host|$bin/tev-host|" "$unit" > "$root/units/tev-host@check.service"
systemd-analyze verify "$root/units/tev-host@check.service"
echo "check-package: systemd accepts the installed unit $(basename "$unit")"

mkdir "$root/consumer"
cat > "$root/consumer/CMakeLists.txt" <<'CMAKE'
cmake_minimum_required(VERSION 3.16)
project(consumer CXX)
find_package(tev REQUIRED CONFIG)
add_executable(consumer main.cpp)
target_link_libraries(consumer PRIVATE tev::interface ${CMAKE_DL_LIBS})
target_compile_definitions(consumer PRIVATE MODULE="$<TARGET_FILE:tev::module>")
CMAKE
cat > "$root/consumer/main.cpp" <<'CPP'
#include "interface/TEVCustomModule.h"
#include <dlfcn.h>
#include <cstdio>
int main() {
  void* module = dlopen(MODULE, RTLD_NOW | RTLD_LOCAL);
  auto create = module ? reinterpret_cast<TEVCreateFunction>(dlsym(module, kTEVCreateSymbol)) : nullptr;
  auto release = module ? reinterpret_cast<TEVReleaseFunction>(dlsym(module, kTEVReleaseSymbol)) : nullptr;
  ITEVCustomClass* detector = create ? create() : nullptr;
  if (detector == nullptr || release == nullptr) {
    std::fprintf(stderr, "%s: %s\n", MODULE, module ? "no Create or Release" : dlerror());
    return 1;
  }
  release(detector);
  return 0;
}
CPP
cmake -S "$root/consumer" -B "$root/consumer/build" -DCMAKE_PREFIX_PATH="$root/usr" > /dev/null
cmake --build "$root/consumer/build" > /dev/null
"$root/consumer/build/consumer"
echo "check-package: a CMake project finds the installed package, loads its module and creates a detector"
