#!/usr/bin/env bash
# Sets the machine up (scripts/setup.sh) and builds Ceilora.vst3 in build/.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

bash "$root/scripts/setup.sh"
cmake -S "$root" -B "$root/build" -G Ninja -DCMAKE_BUILD_TYPE=Release "$@"
cmake --build "$root/build"
echo "Built $(find "$root/build" -maxdepth 4 -name Ceilora.vst3 -type d | head -n 1)"
