#!/bin/sh
# run-under-wine.sh <processor> <program.exe> [arguments]: runs one cross-built test program
# with wine.
# run-wine-suite.sh provides the display and the prefix. Exit code 77 tells CTest that the
# test was skipped, because no wine for this processor is installed here.
processor=$1
program=$2
shift 2
if [ "$processor" = "x86_64" ]; then
  for candidate in wine64 /usr/lib/wine/wine64 wine; do
    if command -v "$candidate" >/dev/null 2>&1; then wine=$candidate; break; fi
  done
  missing="wine64 is not installed: the 64-bit wine suite is skipped"
else
  for candidate in /usr/lib/wine/wine wine32; do
    if command -v "$candidate" >/dev/null 2>&1; then wine=$candidate; break; fi
  done
  missing="wine32 is not installed: the 32-bit wine suite is skipped (Tolvan.dll for i686 is built and its imports checked)"
fi
if [ -z "$wine" ]; then
  echo "SKIPPED: $missing"
  exit 77
fi
if [ -z "$DISPLAY" ] || [ -z "$WINEPREFIX" ]; then
  echo "run the wine suite with tests/wine/run-wine-suite.sh, which starts the display and the prefix"
  exit 1
fi
cd "$(dirname "$program")" && exec "$wine" "$program" "$@"
