#!/usr/bin/env bash
# Builds and runs every test: the Windows cross-builds (64 and 32 bits) with their suite
# under wine, and a 32-bit build of the host interface adapter; then the plain build, the
# AddressSanitizer + UndefinedBehaviorSanitizer build and the ThreadSanitizer build each
# run the whole suite.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh --tests
jobs=$(nproc)

run_suite() {
  local dir=$1
  shift
  echo "== ${dir}"
  cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@"
  cmake --build "$dir" -j "$jobs"
  ctest --test-dir "$dir" --output-on-failure -j "$jobs"
}

echo "== build-windows (mingw-w64 cross-build of Tolvan.dll)"
cmake -S . -B build-windows -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake
cmake --build build-windows -j "$jobs" --target Tolvan
x86_64-w64-mingw32-objdump -p build-windows/Tolvan.dll | grep -A4 "\[Ordinal/Name Pointer\] Table" | grep -E "VSTPluginMain|main"

echo "== build-windows and build-windows-i686: Tolvan.dll for both word sizes with the wine test host"
cmake --build build-windows -j "$jobs"
cmake -S . -B build-windows-i686 -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-i686.cmake
cmake --build build-windows-i686 -j "$jobs"
tests/wine/run-wine-suite.sh build-windows build-windows-i686

echo "== 32-bit layout of the host interface record"
for source in effect/EffectBase.cpp effect/EffectBaseExtended.cpp; do
  g++ -m32 -std=c++20 -Wall -Wextra -Werror -I. -c "$source" -o /dev/null
done
echo "32-bit record layout checked"

run_suite build
run_suite build-asan -DTOLVAN_SANITIZE=address,undefined -DTOLVAN_BENCH=OFF
TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1" run_suite build-tsan -DTOLVAN_SANITIZE=thread -DTOLVAN_BENCH=OFF

