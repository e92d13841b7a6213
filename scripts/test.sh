#!/usr/bin/env bash
# Installs what is missing, builds with AddressSanitizer and UndefinedBehaviorSanitizer, runs every test.
# JOBS=n builds and tests with n jobs (default: every core).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
jobs=${JOBS:-$(nproc 2>/dev/null || echo 2)}
cmake -S . -B build/test -DCMAKE_BUILD_TYPE=Debug -DZQ_SANITIZE=ON
cmake --build build/test -j "$jobs"
bash scripts/fuzz.sh build/test/tools/zqexport 20
export SDL_VIDEODRIVER=offscreen SDL_AUDIODRIVER=dummy
# LeakSanitizer's check at exit stops every thread, and its tracer has crashed on Mesa's
# threads: the rasteriser's under load, and the shader cache's one still leaving at exit.
# Both settings keep Mesa on the calling thread.
export LP_NUM_THREADS=0 MESA_SHADER_CACHE_DISABLE=true
# Its tracer has also crashed reading a dynamic TLS block it had recorded through
# __tls_get_addr and that was gone by the exit; without that tracking the threads' static
# TLS is still scanned.
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:intercept_tls_get_addr=0
export LSAN_OPTIONS="suppressions=$PWD/tests/lsan.supp"
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
cd build/test && ctest --output-on-failure -j "$jobs"
