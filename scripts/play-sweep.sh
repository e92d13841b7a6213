#!/usr/bin/env bash
# Plays the bundled sample in full, by the real program, once per seed, and keeps the log
# of every play that does not end cleanly. Built for hunting faults that show once in many
# plays: run it under the sanitizer build (the default) for as many seeds as time allows.
#
#   scripts/play-sweep.sh FIRST LAST [PARALLEL]
#
# BUILD=dir picks the build tree (default build/test, the sanitizer build scripts/test.sh
# makes; a Release tree works too, with core files kept when `ulimit -c` allows).
# OUT=dir is where the logs go (default build/sweep). Each play: a fresh store holding one
# entry the game does not know, the shop visited, the window mode switched twice, a pause,
# the pit jumped by key and pad, a slide, then the run played to its game over at the
# fixed step. The summary line counts clean plays and failures; the exit status is 1 when
# any play failed.
set -uo pipefail
cd "$(dirname "$0")/.."
first=${1:?first seed}
last=${2:?last seed}
parallel=${3:-2}
build=${BUILD:-build/test}
out=${OUT:-build/sweep}
player=$PWD/$build/player/desktop/zqplayer
exporter=$PWD/$build/tools/zqexport
for program in "$player" "$exporter"; do
  [ -x "$program" ] || { echo "missing $program: build the targets zqplayer and zqexport in $build" >&2; exit 2; }
done

mkdir -p "$out"
out=$(cd "$out" && pwd)
rm -rf "$out/game"
"$exporter" "$out/game" > /dev/null || exit 2

# The script is written in design points and turned into pixels of the 819x462 offscreen
# window (1136x640 scaled 0.72) here, so that the places read like the tests' own.
{
  design() { awk -v x="$1" -v y="$2" 'BEGIN { printf "%d %d", x * 0.720951, (640 - y) * 0.720951 }'; }
  click() { local at; at=$(design "$2" "$3"); printf '%d mouse move %s\n%d mouse down %s\n%d mouse up %s\n' "$1" "$at" "$1" "$at" $(($1 + 1)) "$at"; }
  echo "# the shop and back, the window mode switched and back, Play"
  click 300 250 256
  click 340 80 560
  printf '360 key down Left Alt\n360 key down Return\n362 key up Return\n362 key up Left Alt\n'
  printf '370 key down Left Alt\n370 key down Return\n372 key up Return\n372 key up Left Alt\n'
  click 380 568 256
  echo "# the pit by Space and pad button 0, the hat, a slide, the ledges"
  printf '648 key down Space\n660 key up Space\n690 pad button down 0\n702 pad button up 0\n'
  printf '800 pad hat 0 right\n840 pad hat 0 centre\n860 key down Down\n890 key up Down\n'
  printf '960 key down Space\n972 key up Space\n'
  echo "# a pause left by its back button, then the run to its game over"
  printf '1700 key down Escape\n1701 key up Escape\n'
  click 1740 568 256
} > "$out/script.txt"

play() {
  local seed=$1 home="$out/home-$1"
  rm -rf "$home"
  mkdir -p "$home/Zq Sample Game"
  cat > "$home/Zq Sample Game/UserDefault.xml" <<'EOF'
<?xml version="1.0" encoding="utf-8"?>
<userDefaultRoot>
  <entry key="ZqP_fromAnOlderGame">kept</entry>
</userDefaultRoot>
EOF
  local log="$out/seed-$seed.log"
  (cd "$out/game" && ulimit -c unlimited &&
    env SDL_VIDEODRIVER=offscreen SDL_AUDIODRIVER=dummy LP_NUM_THREADS=0 MESA_SHADER_CACHE_DISABLE=true \
      ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:intercept_tls_get_addr=0 \
      LSAN_OPTIONS="suppressions=$OLDPWD/tests/lsan.supp" UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
      ZQ_DATA_HOME="$home" ZQ_FIXED_STEP=1 ZQ_SEED="$seed" ZQ_EXIT_FRAME=5080 \
      ZQ_INPUT_SCRIPT="$out/script.txt" "$player" > "$log" 2>&1)
  local status=$?
  if [ $status -eq 0 ]; then
    local over=""
    grep -q "Screen On Enter: GameOver" "$log" && over=", game over reached"
    rm -f "$log"
    rm -rf "$home"
    echo "seed $seed: ok$over"
  else
    echo "seed $seed: FAILED (status $status), log $log"
  fi
}
export -f play
export out player

seq "$first" "$last" | xargs -P "$parallel" -I{} bash -c 'play {}' | tee "$out/results.txt"
ok=$(grep -c ': ok' "$out/results.txt")
failed=$(grep -c 'FAILED' "$out/results.txt")
echo "sweep of seeds $first..$last: $ok clean, $failed failed"
[ "$failed" -eq 0 ]
