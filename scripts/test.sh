#!/usr/bin/env bash
# Installs what is missing, then builds and runs the whole test suite twice:
# a normal build and an AddressSanitizer + UndefinedBehaviorSanitizer build;
# then runs each fuzz target for a short while (scripts/fuzz.sh).
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
"$here/scripts/install-deps.sh"

jobs="$(nproc)"
werror=OFF
if [ "${CI:-}" = "true" ]; then
  werror=ON
fi

"$here/scripts/check-format.sh"

echo "== normal build"
cmake -S "$here" -B "$here/build-test" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBRIXEL_WERROR="$werror" >/dev/null
cmake --build "$here/build-test" -j"$jobs"
(cd "$here/build-test" && ctest --output-on-failure -j"$jobs")

echo "== sanitizer build (ASan + UBSan)"
cmake -S "$here" -B "$here/build-asan" -DCMAKE_BUILD_TYPE=Debug -DBRIXEL_SANITIZE=ON \
  -DBRIXEL_WERROR="$werror" -DBRIXEL_BUILD_BENCH=OFF >/dev/null
cmake --build "$here/build-asan" -j"$jobs"
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1:strict_string_checks=1"
export LSAN_OPTIONS="suppressions=$here/tests/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
(cd "$here/build-asan" && ctest --output-on-failure -j"$jobs")

echo "== fuzz targets (libFuzzer, ASan + UBSan)"
"$here/scripts/fuzz.sh"
