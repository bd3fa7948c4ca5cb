#!/usr/bin/env bash
# Installs what is missing, builds with AddressSanitizer and
# UndefinedBehaviorSanitizer, runs every test offscreen, then runs each fuzz
# target briefly. Pass FUZZ_SECONDS=0 to skip the fuzz smoke run.
set -euo pipefail
cd "$(dirname "$0")"

scripts/install-deps.sh

# Every source file follows the checked-in .clang-format.
git ls-files -z '*.cpp' '*.h' | xargs -0 clang-format --dry-run --Werror

build=build-test
scripts/test-build.sh "$PWD" "$build"

source scripts/sanitizer-env.sh
export LUMO_REQUIRE_CORPUS=1 # tests that use ../shared/corpus fail without it
ctest --test-dir "$build" --output-on-failure -j2 --timeout 600

fuzz/run.sh "${FUZZ_SECONDS:-10}"
