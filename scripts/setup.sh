#!/usr/bin/env bash
# Installs the Debian packages VORTEL needs (when missing), then configures
# and builds it. Sourced by run.sh and test.sh.
set -euo pipefail

VORTEL_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
VORTEL_BUILD="${VORTEL_BUILD:-$VORTEL_ROOT/build}"

VORTEL_PACKAGES=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev libqt6opengl6-dev libgl-dev libglu1-mesa-dev libgl1-mesa-dri
  libgtest-dev libgmock-dev libbenchmark-dev libtinyobjloader-dev
  xvfb xauth
  help2man desktop-file-utils appstream shared-mime-info file dpkg-dev
  clang libclang-rt-14-dev llvm python3
)

vortel_install_packages() {
  local missing=()
  for p in "${VORTEL_PACKAGES[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
      missing+=("$p")
    fi
  done
  if ((${#missing[@]})); then
    echo "Installing: ${missing[*]}"
    local sudo=""
    if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
  fi
}

vortel_build() {
  if [ ! -f "$VORTEL_BUILD/build.ninja" ]; then
    cmake -S "$VORTEL_ROOT" -B "$VORTEL_BUILD" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@"
  fi
  cmake --build "$VORTEL_BUILD"
}
