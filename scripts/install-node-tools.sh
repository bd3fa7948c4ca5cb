#!/usr/bin/env bash
# Installs the npm programs the tests run beside lumo (tests/node) into
# FOLDER: scripts/install-node-tools.sh FOLDER. Does nothing when the
# installed set matches the lock file. Without the registry it warns and
# goes on: the tests that need these programs then skip and say why.
set -euo pipefail
source="$(cd "$(dirname "$0")/../tests/node" && pwd)"
folder="$1"
mkdir -p "$folder"
if cmp -s "$source/package-lock.json" "$folder/package-lock.json" &&
    [ -d "$folder/node_modules" ]; then
    exit 0
fi
cp "$source/package.json" "$source/package-lock.json" "$folder/"
if ! (cd "$folder" && npm ci --no-audit --no-fund --loglevel=error >/dev/null); then
    rm -f "$folder/package-lock.json"
    echo "install-node-tools: npm could not install tests/node; the tests that run them will skip" >&2
fi
