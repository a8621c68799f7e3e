#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test: the normal build,
# then the sanitizer build (AddressSanitizer and UndefinedBehaviorSanitizer).
set -euo pipefail
source "$(dirname "$0")/scripts/setup.sh"
vortel_install_packages
vortel_build
(cd "$VORTEL_BUILD" && ctest --output-on-failure -j2)

SAN_BUILD="$VORTEL_ROOT/build-sanitize"
if [ ! -f "$SAN_BUILD/build.ninja" ]; then
  cmake -S "$VORTEL_ROOT" -B "$SAN_BUILD" -G Ninja -DCMAKE_BUILD_TYPE=Debug \
    -DVORTEL_SANITIZE=ON -DVORTEL_GUI=OFF -DVORTEL_BENCH=OFF
fi
cmake --build "$SAN_BUILD"
(cd "$SAN_BUILD" && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
   ctest --output-on-failure -j2)
