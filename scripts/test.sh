#!/usr/bin/env bash
# Builds and runs every test: the Windows cross-build and a 32-bit build of the host
# interface adapter must compile; then the plain build, the AddressSanitizer + Undefined-
# BehaviorSanitizer build and the ThreadSanitizer build each run the whole suite.
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

echo "== 32-bit layout of the host interface record"
for source in effect/EffectBase.cpp effect/EffectBaseExtended.cpp; do
  g++ -m32 -std=c++20 -Wall -Wextra -Werror -I. -c "$source" -o /dev/null
done
echo "32-bit record layout checked"

run_suite build
run_suite build-asan -DTOLVAN_SANITIZE=address,undefined -DTOLVAN_BENCH=OFF
TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1" run_suite build-tsan -DTOLVAN_SANITIZE=thread -DTOLVAN_BENCH=OFF

# The fuzzer of the validator (tests/validate): clang's libFuzzer over a build with every
# target instrumented, run for a bounded time and over the kept corpus.
echo "== build-fuzz (libFuzzer, clang-14, AddressSanitizer + UndefinedBehaviorSanitizer)"
CC=clang-14 CXX=clang++-14 cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTOLVAN_FUZZ=ON \
  -DTOLVAN_SANITIZE=address,undefined -DTOLVAN_BENCH=OFF
cmake --build build-fuzz -j "$jobs" --target tolvan-fuzz
ctest --test-dir build-fuzz -R tolvan_fuzz --output-on-failure
