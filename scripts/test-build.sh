#!/usr/bin/env bash
# Configures and builds the sanitized test build: scripts/test-build.sh
# [SOURCE [BUILD [CMAKE-ARGS...]]], by default this tree into build-test.
set -euo pipefail
source="${1:-$(cd "$(dirname "$0")/.." && pwd)}"
build="${2:-$source/build-test}"
shift $(($# < 2 ? $# : 2))
cmake -S "$source" -B "$build" -G Ninja \
    -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG="-g -O1" \
    -DLUMO_SANITIZE=ON -DLUMO_WERROR=ON -DLUMO_TESTS=ON "$@" >/dev/null
cmake --build "$build"
