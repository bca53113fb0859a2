#!/bin/sh
# run-at-dpi.sh <dots per inch> <processor> <program.exe> [arguments]: runs one test program
# under wine (through run-under-wine.sh) with the screen set to the given dots per inch in
# the suite's prefix, and puts the prefix's setting back afterwards. CTest runs it alone
# (RUN_SERIAL), so no other program of the suite starts while the setting holds.
dpi=$1
shift
wine=""
for candidate in wine64 /usr/lib/wine/wine64 wine; do
  if command -v "$candidate" >/dev/null 2>&1; then wine=$candidate; break; fi
done
if [ -z "$wine" ] || [ -z "${WINEPREFIX:-}" ]; then
  exec sh "$(dirname "$0")/run-under-wine.sh" "$@"
fi
key='HKCU\Control Panel\Desktop'
before=$("$wine" reg query "$key" /v LogPixels 2>/dev/null | awk '$1 == "LogPixels" { print $3 }')
restore() {
  if [ -n "$before" ]; then
    "$wine" reg add "$key" /v LogPixels /t REG_DWORD /d "$((before))" /f >/dev/null 2>&1
  else
    "$wine" reg delete "$key" /v LogPixels /f >/dev/null 2>&1
  fi
}
trap restore EXIT
"$wine" reg add "$key" /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null 2>&1
sh "$(dirname "$0")/run-under-wine.sh" "$@"
