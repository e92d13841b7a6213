#!/usr/bin/env bash
# Installs what is missing, builds the data writer and the player, writes the bundled
# sample game into build/release/sample/data and runs the player there. JOBS=n builds
# with n jobs (default: every core).
set -euo pipefail
# Without a display SDL falls back to its offscreen driver: the game would run unseen and
# look hung. A driver asked for by name (SDL_VIDEODRIVER=offscreen) is the caller's choice.
if [[ -z "${DISPLAY:-}" && -z "${WAYLAND_DISPLAY:-}" && -z "${SDL_VIDEODRIVER:-}" ]]; then
  echo "play.sh: no display to play on (neither DISPLAY nor WAYLAND_DISPLAY is set)." >&2
  echo "Run it in a desktop session, or set SDL_VIDEODRIVER=offscreen to run the game unseen." >&2
  exit 1
fi
cd "$(dirname "$0")/.."
bash scripts/setup.sh
jobs=${JOBS:-$(nproc 2>/dev/null || echo 2)}
cmake -S . -B build/release -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build/release -j "$jobs" --target zqexport zqplayer
build/release/tools/zqexport build/release/sample --both
cd build/release/sample
exec ../player/desktop/zqplayer
