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

# The menu's first frame: the loading screen draws 9 frames, then takes one loading step a
# frame, and the menu shows on the frame after the last; a first run's log counts the steps.
steps=$(cd "$out/game" && env SDL_VIDEODRIVER=offscreen SDL_AUDIODRIVER=dummy LP_NUM_THREADS=0 \
  MESA_SHADER_CACHE_DISABLE=true ZQ_DATA_HOME="$out/home-probe" ZQ_FIXED_STEP=1 ZQ_EXIT_FRAME=5080 "$player" 2>&1 |
  sed -n '/^\[ZqPAppDelegate\] loaded .* loading steps$/ { s/.* in \([0-9]*\) loading steps$/\1/p; q }')
rm -rf "$out/home-probe"
[ -n "$steps" ] || { echo "the player's log does not count its loading steps" >&2; exit 2; }
menu=$((10 + steps))

# The script is written in design points and turned into pixels of the 819x462 offscreen
# window (1136x640 scaled 0.72) here, so that the places read like the tests' own; its
# frames count from the menu's first.
{
  design() { awk -v x="$1" -v y="$2" 'BEGIN { printf "%d %d", x * 0.720951, (640 - y) * 0.720951 }'; }
  click() { local at; at=$(design "$2" "$3"); printf '%d mouse move %s\n%d mouse down %s\n%d mouse up %s\n' "$1" "$at" "$1" "$at" $(($1 + 1)) "$at"; }
  echo "# the shop and back, the window mode switched and back, Play"
  click 180 250 256
  click 220 80 560
  printf '240 key down Left Alt\n240 key down Return\n242 key up Return\n242 key up Left Alt\n'
  printf '250 key down Left Alt\n250 key down Return\n252 key up Return\n252 key up Left Alt\n'
  click 260 568 256
  echo "# the pit by Space and pad button 0, the hat, a slide, the ledges"
  printf '528 key down Space\n540 key up Space\n570 pad button down 0\n582 pad button up 0\n'
  printf '680 pad hat 0 right\n720 pad hat 0 centre\n740 key down Down\n770 key up Down\n'
  printf '840 key down Space\n852 key up Space\n'
  echo "# a pause left by its back button, then the run to its game over"
  printf '1580 key down Escape\n1581 key up Escape\n'
  click 1620 568 256
} | awk -v menu="$menu" '/^[0-9]/ { $1 += menu } { print }' > "$out/script.txt"

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
      ZQ_DATA_HOME="$home" ZQ_FIXED_STEP=1 ZQ_SEED="$seed" ZQ_EXIT_FRAME=$((menu + 4960)) \
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
export out player menu

seq "$first" "$last" | xargs -P "$parallel" -I{} bash -c 'play {}' | tee "$out/results.txt"
ok=$(grep -c ': ok' "$out/results.txt")
failed=$(grep -c 'FAILED' "$out/results.txt")
echo "sweep of seeds $first..$last: $ok clean, $failed failed"
[ "$failed" -eq 0 ]
