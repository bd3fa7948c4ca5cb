#!/usr/bin/env bash
# Installs what is missing, builds with AddressSanitizer and
# UndefinedBehaviorSanitizer, runs every test offscreen, then runs each fuzz
# target briefly. Pass FUZZ_SECONDS=0 to skip the fuzz smoke run.
#
# Tests that read the outside material in ../shared/corpus skip when it is
# absent (a clone of the repository alone); LUMO_REQUIRE_CORPUS=1 (set by
# .ci/run) makes them fail instead, so CI can never pass without it.
set -euo pipefail
cd "$(dirname "$0")"

scripts/install-deps.sh

# Every source file follows the checked-in .clang-format.
git ls-files -z '*.cpp' '*.h' | xargs -0 clang-format --dry-run --Werror

build=build-test
scripts/test-build.sh "$PWD" "$build"
scripts/install-node-tools.sh "$build/node"

source scripts/sanitizer-env.sh
log="$(mktemp)"
trap 'rm -f "$log"' EXIT
ctest --test-dir "$build" --output-on-failure -j2 --timeout 600 | tee "$log"
if [ ! -d ../shared/corpus ]; then
    skipped=$(grep -c '(Skipped)$' "$log" || true)
    echo "test.sh: $skipped tests skipped: they read ../shared/corpus, which is not beside this clone"
fi

fuzz/run.sh "${FUZZ_SECONDS:-10}"
