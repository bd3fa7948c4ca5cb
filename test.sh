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
cmake -S . -B "$build" -G Ninja \
    -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG="-g -O1" \
    -DLUMO_SANITIZE=ON -DLUMO_WERROR=ON -DLUMO_TESTS=ON
cmake --build "$build"

export QT_QPA_PLATFORM=offscreen
export LUMO_REQUIRE_CORPUS=1 # tests that use ../shared/corpus fail without it
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1:strict_string_checks=1"
export LSAN_OPTIONS="suppressions=$PWD/tests/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
ctest --test-dir "$build" --output-on-failure -j2 --timeout 600

fuzz/run.sh "${FUZZ_SECONDS:-20}"
