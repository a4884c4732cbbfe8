#!/usr/bin/env bash
# Sets the machine up, builds Ceilora and its tests, and runs every test, then the whole suite again
# under ThreadSanitizer and under AddressSanitizer + UndefinedBehaviorSanitizer; fails when one fails.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

bash "$root/scripts/build.sh" "$@"
ctest --test-dir "$root/build" --output-on-failure --timeout 600
bash "$root/scripts/test-sanitizers.sh" "$@"
