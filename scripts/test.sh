#!/usr/bin/env bash
# Installs what is missing, builds and runs every test of one preset
# (default: "default"; "asan" runs them under the sanitizers).
set -euo pipefail
cd "$(dirname "$0")/.."
preset=${1:-default}
scripts/setup.sh
scripts/build.sh "$preset"
ctest --preset "$preset"
