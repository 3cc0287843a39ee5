#!/usr/bin/env bash
# Sets the machine up, builds Kolva and runs it.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
cmake --preset default >/dev/null
cmake --build --preset default
build/default/src/cli/kolva --version
build/default/src/cli/kolva outline samples/Orders.pas
