#!/usr/bin/env bash
# Installs what is missing, builds, and starts VORTEL on the bundled sample figure.
set -euo pipefail
source "$(dirname "$0")/scripts/setup.sh"
vortel_install_packages
vortel_build
SAMPLE="$VORTEL_ROOT/data/samples/figure.obj"
if [ -x "$VORTEL_BUILD/bin/vortel" ] && { [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; }; then
  exec "$VORTEL_BUILD/bin/vortel" "$SAMPLE"
fi
exec "$VORTEL_BUILD/bin/vortel-cli" info "$SAMPLE"
