#!/usr/bin/env bash
<<<<<<< HEAD
# Builds and runs every test: the Windows cross-builds (64 and 32 bits) with their suite
# under wine, and a 32-bit build of the host interface adapter; then the plain build, the
# AddressSanitizer + UndefinedBehaviorSanitizer build and the ThreadSanitizer build each
# run the whole suite.
=======
# Builds and runs every test, with warnings as errors: the Windows cross-build and a
# 32-bit build of the host interface adapter must compile; then the Release build, the
# AddressSanitizer + UndefinedBehaviorSanitizer build and the ThreadSanitizer build each
# run the whole suite, and the Debug build must build.
>>>>>>> editor
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh --tests
jobs=$(nproc)

# build_tree <folder> <build type> <cmake options...>
build_tree() {
  local dir=$1 type=$2
  shift 2
  echo "== ${dir} (${type})"
  cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE="$type" -DTOLVAN_WERROR=ON "$@"
  cmake --build "$dir" -j "$jobs"
}

# run_suite <folder> <build type> <cmake options...>
run_suite() {
  build_tree "$@"
  ctest --test-dir "$1" --output-on-failure -j "$jobs"
}

echo "== build-windows (mingw-w64 cross-build of Tolvan.dll)"
cmake -S . -B build-windows -G Ninja -DCMAKE_BUILD_TYPE=Release -DTOLVAN_WERROR=ON -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake
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

build_tree build-debug Debug
run_suite build Release
run_suite build-asan RelWithDebInfo -DTOLVAN_SANITIZE=address,undefined -DTOLVAN_BENCH=OFF
TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1" run_suite build-tsan RelWithDebInfo -DTOLVAN_SANITIZE=thread -DTOLVAN_BENCH=OFF

