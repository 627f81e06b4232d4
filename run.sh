#!/usr/bin/env bash
# Builds the project and shows a demo profile with the command-line tool.
set -euo pipefail
cd "$(dirname "$0")"
scripts/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j "$(nproc)" >/dev/null
demo=$(mktemp -d)/DEMO.DAT
build/quillfen-cli demo "$demo"
echo "A demo UserDatabase ($demo):"
build/quillfen-cli show "$demo"
