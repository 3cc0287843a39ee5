#!/usr/bin/env bash
# Builds and runs every test. The argument chooses the build: "default" (the normal
# optimised build) or "sanitize" (AddressSanitizer and UndefinedBehaviorSanitizer).
set -euo pipefail
cd "$(dirname "$0")/.."
preset=${1:-default}
scripts/setup.sh
cmake --preset "$preset" >/dev/null
cmake --build --preset "$preset"
ctest --preset "$preset" -j "$(nproc)"
