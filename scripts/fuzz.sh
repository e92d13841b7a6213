#!/usr/bin/env bash
# Builds the fuzz targets with clang and runs each for a bounded time on a seed corpus
# made from the sample game (the key file, the model files, the archive under
# traditional and under AES encryption, the atlas plists and the bitmap font).
# Usage: scripts/fuzz.sh <zqexport program> [seconds per target]; JOBS=n builds with n jobs.
set -euo pipefail
cd "$(dirname "$0")/.."
exporter=$1
seconds=${2:-20}
jobs=${JOBS:-$(nproc 2>/dev/null || echo 2)}

CXX=clang++ CC=clang cmake -S . -B build/fuzz -DCMAKE_BUILD_TYPE=Debug -DZQ_SANITIZE=ON -DZQ_FUZZ=ON \
  -DZQ_BUILD_TESTS=OFF -DZQ_BUILD_BENCH=OFF >/dev/null
cmake --build build/fuzz -j "$jobs" --target fuzz_archive fuzz_archive_seeds fuzz_keyfile fuzz_modelfile \
  fuzz_plist fuzz_fnt

export LSAN_OPTIONS="suppressions=$PWD/tests/lsan.supp"
seeds=build/fuzz/seeds
rm -rf "$seeds" && mkdir -p "$seeds/game" "$seeds/archive" "$seeds/keyfile" "$seeds/modelfile" "$seeds/plist" "$seeds/fnt"
"$exporter" "$seeds/game" >/dev/null
"$exporter" "$seeds/game-archive" --archive >/dev/null
cp "$seeds/game-archive/data/data.pkg" "$seeds/archive/"
build/fuzz/fuzz/fuzz_archive_seeds "$seeds/archive"
cp "$seeds/game/data/Keys.pack" "$seeds/keyfile/"
cp "$seeds"/game/data/atlases/*.plist "$seeds/plist/"
cp "$seeds"/game/data/fonts/*.fnt "$seeds/fnt/"
# The model-file target codes its seeds with its own key table.
ZQ_FUZZ_WRITE_SEEDS="$seeds/modelfile" build/fuzz/fuzz/fuzz_modelfile >/dev/null

for target in archive keyfile modelfile plist fnt; do
  mkdir -p "build/fuzz/corpus-$target"
  echo "Fuzzing $target for ${seconds}s"
  log="build/fuzz/fuzz_$target.log"
  # Model files reach their size-dependent paths only well past the sample's files: from
  # the first run on, inputs may be as long as the whole game's seed and longer.
  options=()
  if [ "$target" = modelfile ]; then
    options=(-max_len=1048576 -len_control=0)
  fi
  if ! build/fuzz/fuzz/fuzz_$target -max_total_time="$seconds" -print_final_stats=1 "${options[@]}" \
      "build/fuzz/corpus-$target" "$seeds/$target" >"$log" 2>&1; then
    tail -n 60 "$log"
    echo "fuzz_$target found a failure" >&2
    exit 1
  fi
  tail -n 3 "$log"
done
