#!/usr/bin/env bash
# Builds the plug-in and its offline host, then does the main job: a sound file through the
# equaliser with a small preset of audible settings, the levels and speed of the run, and
# a picture of the editor showing both spectra and the response.
#
# Usage: scripts/demo.sh [INPUT]   (any file libsndfile reads; default: 5 s of pink noise)
# Writes demo-out/: demo.fxp (the preset), processed.wav, and editor.png (the editor as
# it looks after the sound has played through it).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release
cmake --build build -j "$(nproc)" --target tolvan-host
host=build/tools/tolvan-host
mkdir -p demo-out

input=${1:-demo-out/input.wav}
if [ $# -eq 0 ]; then
  "$host" generate "$input" --seconds 5
fi

"$host" preset save demo-out/demo.fxp --name "Demo" \
  --set "Enabled LowCut=on" --set "Frequency LowCut=80Hz" \
  --set "Enabled Peak1=on" --set "Frequency Peak0=250Hz" --set "Gain Peak1=-4dB" --set "Q Peak1=1.0" \
  --set "Enabled Peak2=on" --set "Frequency Peak1=3kHz" --set "Gain Peak2=+5dB" --set "Q Peak2=0.8" \
  --set "Enabled HiShelf=on" --set "Frequency HiShelf=8k" --set "Gain HiShelf=+3dB" \
  --set "Enabled HiCut=on" --set "Frequency HiCut=16k" \
  --set "Output Gain=-2dB"
"$host" process "$input" demo-out/processed.wav --preset demo-out/demo.fxp
echo
"$host" snapshot demo-out/editor.png --input "$input" --preset demo-out/demo.fxp
