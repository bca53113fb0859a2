#!/usr/bin/env bash
# Builds everything and runs the main job: a small host of ours loads the plug-in as a
# host does and prints its identity, its 41 parameters and its 8 programs.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j "$(nproc)"
build/tools/tolvan-host build/Tolvan.so
