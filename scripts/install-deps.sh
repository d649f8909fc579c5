#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need. Idempotent: a package that
# is already installed is left alone, and apt is not touched at all when nothing is missing.
#   --training   the packages of training/ instead (make train, make test-training)
set -euo pipefail

if [ "${1:-}" = "--training" ]; then
  packages=(
    python3-torch        # the detector's training, on the CPU
    python3-onnx         # its export and the export's check
    python3-opencv       # images, videos, and OpenCV's dnn for the round trip
    python3-numpy
    python3-pytest       # training/tests
    opencv-doc           # fire-free sample videos and pictures: negatives
  )
else
packages=(
  cmake
  make
  g++
  pkg-config
  libopencv-dev        # core and imgproc for the module; dnn, videoio, imgcodecs for the platform
  nlohmann-json3-dev   # scripts of the stand-in inference library
  libgtest-dev
  libgmock-dev
  libcli11-dev         # the command lines of tev-host and tev-scene
  libavutil-dev        # FFmpeg's log: tev-host notices a stream changing its frame size
  libbenchmark-dev     # Google Benchmark, for bench/
  binutils             # nm, for the exported-symbol check
  dpkg-dev             # dpkg-shlibdeps: the Debian package's dependencies (make package)
  file                 # CPack's test for the binaries whose dependencies it looks up
  systemd              # systemd-analyze: the package's service unit is checked
  clang                # the fuzz targets
  libclang-rt-14-dev   # libFuzzer and the sanitizer runtimes of clang
  g++-mingw-w64-x86-64 # the Windows cross-compile check
  libgstreamer1.0-dev  # the tevfiresmoke GStreamer element
  libgstreamer-plugins-base1.0-dev  # its video filter base and metadata; appsrc/appsink in tests
  gstreamer1.0-tools   # gst-launch-1.0 and gst-inspect-1.0: make demo-gst and the tests
  gstreamer1.0-plugins-base  # decodebin, videoconvert, appsrc, appsink
  gstreamer1.0-plugins-good  # avidemux and jpegdec (the demo's clip), rtspsrc, v4l2src
)
fi

missing=()
for package in "${packages[@]}"; do
  if ! dpkg -s "$package" 2>/dev/null | grep -q '^Status: install ok installed'; then
    missing+=("$package")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

sudo=()
if [ "$(id -u)" -ne 0 ]; then
  sudo=(sudo)
fi

echo "install-deps: installing ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
"${sudo[@]}" apt-get update
"${sudo[@]}" apt-get install -y --no-install-recommends "${missing[@]}"
