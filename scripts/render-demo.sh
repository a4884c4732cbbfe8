#!/usr/bin/env bash
# Sets the machine up, builds Ceilora and ceilora-render, and renders the built-in demo signal
# through the built plug-in into ./ceilora-demo.wav with a plot in ./ceilora-demo.png.
# Further arguments go to ceilora-render (for example --preset "Brick Wall").
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

bash "$root/scripts/build.sh"
"$root/build/ceilora-render" --plot ceilora-demo.png "$@"
