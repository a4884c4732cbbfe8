#!/usr/bin/env bash
# Builds the plug-in and its tests twice more, with ThreadSanitizer (build-tsan/) and with
# AddressSanitizer + UndefinedBehaviorSanitizer (build-asan/, a debug build, so JUCE's leak detector
# and assertions are live too), and runs the whole test suite in each. Expects scripts/setup.sh to
# have run.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

run_suite() {
    local sanitizer=$1 build_type=$2 dir="$root/build-$3"
    echo "== $sanitizer sanitizer: $dir"
    # -O1 keeps the debug build's tests quick without hiding anything from the sanitizers.
    cmake -S "$root" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE="$build_type" -DCEILORA_SANITIZER="$sanitizer" \
          -DCMAKE_C_FLAGS_DEBUG="-O1" -DCMAKE_CXX_FLAGS_DEBUG="-O1" "${@:4}"
    cmake --build "$dir"
    ctest --test-dir "$dir" --output-on-failure --timeout 900
}

run_suite thread Release tsan "$@"
run_suite address Debug asan "$@"
