#!/usr/bin/env bash
# Installs what is missing, builds the player and runs it on the bundled sample game.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
jobs=$(nproc 2>/dev/null || echo 2)
cmake -S . -B build/release -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build/release -j "$jobs" --target zqplayer
exec build/release/player/desktop/zqplayer "$@"
