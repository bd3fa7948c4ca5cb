#!/usr/bin/env bash
# Installs what is missing, builds the program and starts it. Arguments are
# passed to the browser: ./run.sh http://127.0.0.1:8080/ or ./run.sh page.htm
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
cd "$here"

scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release -DLUMO_TESTS=OFF
cmake --build build

# Relative file names on the command line are meant from where run.sh was called.
cd "$OLDPWD"
exec "$here/build/app/lumo" "$@"
