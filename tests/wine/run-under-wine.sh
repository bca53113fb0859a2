#!/bin/sh
# run-under-wine.sh <processor> <program.exe> [arguments]: runs one cross-built test program
# with wine.
# run-wine-suite.sh provides the display and the prefix. Exit code 77 tells CTest that the
# test was skipped: wine64 is not installed, or the program is a 32-bit one.
processor=$1
program=$2
shift 2
wine=""
if [ "$processor" = "x86_64" ]; then
  for candidate in wine64 /usr/lib/wine/wine64 wine; do
    if command -v "$candidate" >/dev/null 2>&1; then wine=$candidate; break; fi
  done
  missing="wine64 is not installed: the 64-bit wine suite is skipped"
else
  # These machines cannot execute 32-bit programs at all, and wine32 would break wine for
  # the 64-bit suite, so the 32-bit programs are built and never run.
  missing="32-bit Windows programs cannot run on this machine: the i686 Tolvan.dll is built and its record layout checked, but it is never run here"
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
