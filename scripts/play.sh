#!/usr/bin/env bash
# Installs what is missing, builds the data writer and the player, writes the bundled
# sample game into build/release/sample/data and runs the player there. JOBS=n builds
# with n jobs (default: every core).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
jobs=${JOBS:-$(nproc 2>/dev/null || echo 2)}
cmake -S . -B build/release -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build/release -j "$jobs" --target zqexport zqplayer
build/release/tools/zqexport build/release/sample --both
cd build/release/sample
exec ../player/desktop/zqplayer
