#!/usr/bin/env bash
# Builds and runs every test, with warnings as errors: the Windows cross-builds (64 and 32
# bits) with their suite under wine, and a 32-bit build of the host interface adapter; then
# the Release build, the AddressSanitizer + UndefinedBehaviorSanitizer build and the
# ThreadSanitizer build each run the whole suite, the Release and Windows builds run the
# validator's threaded checks once more on a loaded machine, and the Debug build must build.
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
echo "== Windows zip: Tolvan/ with Tolvan.dll, documents/ and the licences"
(cd build-windows && cpack > /dev/null)
cmake -E tar tf build-windows/Tolvan-*-windows-x64.zip | sort | tee build-windows/zip-contents.txt
for file in Tolvan/Tolvan.dll Tolvan/documents/index.htm Tolvan/documents/editor.png Tolvan/LICENSE.txt \
  Tolvan/LICENSE-OFL.txt; do
  grep -qx "$file" build-windows/zip-contents.txt || { echo "the zip lacks $file"; exit 1; }
done

echo "== build-windows and build-windows-i686: Tolvan.dll for both word sizes with the wine test host"
cmake --build build-windows -j "$jobs"
cmake -S . -B build-windows-i686 -G Ninja -DCMAKE_BUILD_TYPE=Release -DTOLVAN_WERROR=ON -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-i686.cmake
cmake --build build-windows-i686 -j "$jobs"
tests/wine/run-wine-suite.sh build-windows build-windows-i686

echo "== 32-bit layout of the host interface record"
for source in effect/EffectBase.cpp effect/EffectBaseExtended.cpp; do
  g++ -m32 -std=c++20 -Wall -Wextra -Werror -I. -c "$source" -o /dev/null
done
echo "32-bit record layout checked"

build_tree build-debug Debug
run_suite build Release

# The validator's thread, lifecycle and editor checks once more on a busy machine, natively
# and under wine, beside stress-ng's workers on every core: a wait that assumes a quiet
# machine fails here, not on a user's.
echo "== loaded: thread, lifecycle and editor checks beside stress-ng --cpu 2"
loaded_checks=automation-from-audio-thread,three-threads,parallel-instances,create-process-close-cycles
loaded_checks+=,many-instances,editor-cycles-with-audio,editor-in-window,host-destroys-window-first
stress-ng --cpu 2 --timeout 900 >/dev/null &
stress=$!
trap 'kill "$stress" 2>/dev/null || true' EXIT
# Each says SKIPPED and exits 77 where its X server or wine is missing.
tests/x11/run-under-xvfb.sh build/tools/tolvan-validate/tolvan-validate --window --only "$loaded_checks" \
  build/Tolvan.so || [ $? -eq 77 ]
tests/wine/run-wine-suite.sh --run build-windows tolvan-validate.exe --window --only "$loaded_checks" Tolvan.dll \
  || [ $? -eq 77 ]
kill "$stress"
wait "$stress" 2>/dev/null || true
trap - EXIT
run_suite build-asan RelWithDebInfo -DTOLVAN_SANITIZE=address,undefined -DTOLVAN_BENCH=OFF
TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1" run_suite build-tsan RelWithDebInfo -DTOLVAN_SANITIZE=thread -DTOLVAN_BENCH=OFF

# The fuzzer of the validator (tests/validate) and those of the files users hand the
# offline host (tests/fuzz): clang's libFuzzer over a build with every target
# instrumented, run for a bounded time and over the kept corpora.
echo "== build-fuzz (libFuzzer, clang-14, AddressSanitizer + UndefinedBehaviorSanitizer)"
CC=clang-14 CXX=clang++-14 cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTOLVAN_FUZZ=ON \
  -DTOLVAN_SANITIZE=address,undefined -DTOLVAN_BENCH=OFF
cmake --build build-fuzz -j "$jobs" --target tolvan-fuzz tolvan-fuzz-preset-file tolvan-fuzz-audio-input \
  tolvan-fuzz-snapshot-input tolvan-fuzz-packed-image
ctest --test-dir build-fuzz -R tolvan_fuzz --output-on-failure
