#!/usr/bin/env bash
# Sets the machine up, builds Ceilora and its tests, and runs every test; fails when one fails.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

bash "$root/scripts/build.sh" "$@"
ctest --test-dir "$root/build" --output-on-failure --timeout 600
