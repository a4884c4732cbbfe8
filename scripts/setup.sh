#!/usr/bin/env bash
# Prepares a Debian machine to build Ceilora: the build tools and libraries, and JUCE 8.
# Safe to run again: it installs only what is missing and keeps a JUCE it has already unpacked.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
juce_dir="$root/.deps/juce"
juce_version=8.0.6

packages=(
    build-essential cmake ninja-build pkg-config git
    libfreetype-dev libfontconfig1-dev libx11-dev libxext-dev libxrandr-dev libxinerama-dev libxcursor-dev
    zlib1g-dev libpng-dev libjpeg-dev libflac-dev libogg-dev libvorbis-dev
    libgtest-dev libgmock-dev libbenchmark-dev
    xvfb xauth fonts-dejavu-core
)

as_root() { if [ "$(id -u)" = 0 ]; then "$@"; else sudo "$@"; fi; }

missing=()
for package in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || missing+=("$package")
done
if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    as_root apt-get update -q
    as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${missing[@]}"
fi

# A JUCE 8 the system already has (Debian 13 and later) is used as it is.
if compgen -G "/usr/lib/*/cmake/JUCE-8*/JUCEConfig.cmake" >/dev/null; then
    echo "Using the system's JUCE 8."
    exit 0
fi
if apt-cache policy juce-modules-source 2>/dev/null | grep -q 'Candidate: 8\.'; then
    as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -q juce-modules-source juce-modules-source-data
    exit 0
fi

if [ -f "$juce_dir/VERSION" ] && [ "$(cat "$juce_dir/VERSION")" = "$juce_version" ]; then
    echo "Using JUCE $juce_version in $juce_dir."
    exit 0
fi

# Debian 12 ships only JUCE 7: take Debian 13's JUCE 8 packages from the archive this machine
# already uses and unpack them here, without touching the system's package lists.
archive=$(awk '/^URIs:/ { print $2; exit }' /etc/apt/sources.list.d/*.sources 2>/dev/null || true)
if [ -z "$archive" ]; then
    archive=$(awk '$1 == "deb" && $0 !~ /security/ { for (i = 2; i <= NF; i++) if ($i !~ /^\[/) { print $i; exit } }' /etc/apt/sources.list 2>/dev/null || true)
fi
if [ -z "$archive" ]; then
    echo "error: no Debian archive found in this machine's apt sources; pass -DCEILORA_JUCE_DIR=<your JUCE 8 checkout> to cmake instead." >&2
    exit 1
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/lists/partial" "$work/cache/archives/partial" "$work/debs"
echo "deb [signed-by=/usr/share/keyrings/debian-archive-keyring.gpg] $archive trixie main" > "$work/sources.list"
apt_options=(-o "Dir::Etc::SourceList=$work/sources.list" -o Dir::Etc::SourceParts=/dev/null
             -o "Dir::State::Lists=$work/lists" -o "Dir::Cache=$work/cache" -o APT::Sandbox::User=root)
if ! apt-get "${apt_options[@]}" -q update >/dev/null \
   || ! (cd "$work/debs" && apt-get "${apt_options[@]}" -q download \
            "juce-modules-source-data=$juce_version*" "juce-modules-source=$juce_version*" >/dev/null); then
    echo "error: could not download JUCE $juce_version from the Debian 13 archive; pass -DCEILORA_JUCE_DIR=<your JUCE 8 checkout> to cmake instead." >&2
    exit 1
fi

rm -rf "$juce_dir"
mkdir -p "$work/unpacked"
for deb in "$work"/debs/*.deb; do dpkg-deb -x "$deb" "$work/unpacked"; done
mkdir -p "$juce_dir"
mv "$work/unpacked/usr/share/juce/modules" "$juce_dir/modules"
mv "$work"/unpacked/usr/lib/*/cmake/JUCE-* "$juce_dir/cmake"
echo "$juce_version" > "$juce_dir/VERSION"
echo "Unpacked JUCE $juce_version into $juce_dir."
