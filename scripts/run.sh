#!/usr/bin/env bash
# Installs what is missing, builds the program and starts it in the current
# working directory (where it keeps TCP.SET and comport.ini).
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
"$here/scripts/install-deps.sh"
cmake -S "$here" -B "$here/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBRIXEL_BUILD_TESTS=OFF >/dev/null
cmake --build "$here/build" --target brixel -j"$(nproc)"
exec "$here/build/brixel" "$@"
