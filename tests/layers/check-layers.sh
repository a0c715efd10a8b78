#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The X10 Test Console authors
# SPDX-License-Identifier: MIT
# The layering rule, read off the sources (the build enforces it too: each target publishes
# only its own headers). Nothing under simulator/ includes the driver: of controller/ it may
# name only links/portnames.h, the COM port naming both sides share. The console's window and
# handlers include of controller/ only the component contract, contract/controlcm.h;
# console/main.cpp picks the driver and so may include it. Shared code (the console, the
# driver, the neutral side of the links) includes no platform's links (links/posix/,
# links/windows/): what it needs of them has a neutral header in links/.
# Usage: check-layers.sh [repository root]
set -euo pipefail
cd "${1:-$(dirname "$0")/../..}"

driverIncludes() { # <folder>: every include of a controller/ header under it
  grep -rnE '^[[:space:]]*#[[:space:]]*include[[:space:]]*["<]controller/' "$1" \
    --include='*.h' --include='*.cpp' || true
}

platformIncludes() { # <file>...: every include of a platform's links header in them
  grep -nE '^[[:space:]]*#[[:space:]]*include[[:space:]]*["<]controller/links/(posix|windows)/' \
    "$@" /dev/null || true
}

broken=$(
  driverIncludes simulator | grep -vE '["<]controller/links/portnames\.h[">]'
  driverIncludes console | grep -v '^console/main\.cpp:' | grep -vE '["<]controller/contract/controlcm\.h[">]'
  platformIncludes console/main.cpp controller/driver/* controller/links/*.h controller/links/*.cpp
) || true
if [ -n "$broken" ]; then
  echo "layers: these includes cross a layer (simulator/ must not see the driver; the console's"
  echo "window and handlers see only controller/contract/controlcm.h; shared code sees no"
  echo "platform's links):"
  echo "$broken"
  exit 1
fi
echo "layers: the simulator and the console's handlers include no driver header, shared code no platform's"
