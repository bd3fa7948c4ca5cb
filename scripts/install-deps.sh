#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the benchmarks need.
# Does nothing when everything is already there, so both top-level scripts call it.
set -euo pipefail

packages=(
    build-essential cmake ninja-build ccache pkg-config lld
    clang libclang-rt-14-dev clang-format
    qt6-base-dev qt6-base-dev-tools
    libjpeg62-turbo-dev zlib1g-dev libgif-dev
    gifsicle imagemagick
    fonts-liberation fontconfig
    libgtest-dev libgmock-dev googletest libbenchmark-dev
    nginx-light tinyproxy dante-server microsocks wget
    libssl-dev ca-certificates openssl
    locales-all libxml2-utils libxml2-dev curl
    python3 zip unzip
    librsvg2-bin desktop-file-utils man-db groff-base file dpkg-dev
    poppler-utils wkhtmltopdf heaptrack
    xvfb xauth
    python3-fontforge chromium
)

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
# The tests run npm programs (tests/node); a machine whose Node.js and npm
# come from elsewhere keeps its own.
command -v npm >/dev/null || missing+=(nodejs npm)
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -q
$sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
