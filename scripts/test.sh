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
echo "== Windows zip: Tolvan/ with Tolvan.dll and documents/"
(cd build-windows && cpack > /dev/null)
cmake -E tar tf build-windows/Tolvan-*-windows-x64.zip | sort | tee build-windows/zip-contents.txt
for file in Tolvan/Tolvan.dll Tolvan/documents/index.htm Tolvan/documents/editor.png; do
  grep -qx "$file" build-windows/zip-contents.txt || { echo "the zip lacks $file"; exit 1; }
done

echo "== 32-bit layout of the host interface record"
for source in effect/EffectBase.cpp effect/EffectBaseExtended.cpp; do
  g++ -m32 -std=c++20 -Wall -Wextra -Werror -I. -c "$source" -o /dev/null
done
echo "32-bit record layout checked"

run_suite build
run_suite build-asan -DTOLVAN_SANITIZE=address,undefined -DTOLVAN_BENCH=OFF
TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1" run_suite build-tsan -DTOLVAN_SANITIZE=thread -DTOLVAN_BENCH=OFF

