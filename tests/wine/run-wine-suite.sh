#!/usr/bin/env bash
# run-wine-suite.sh <cross-build dir>...: runs the CTest suites of the Windows cross-builds
# (the wine test host and the import-table check) on an Xvfb display of its own, with a
# throw-away wine prefix; both are gone afterwards. Where wine is missing, the wine tests
# report themselves skipped and the rest still runs.
# run-wine-suite.sh --run <cross-build dir> <program.exe> [arguments]: runs one program of
# that build the same way instead, from its folder (the validator by hand, for example).
set -euo pipefail

program=()
if [ "${1:-}" = "--run" ]; then
  program=("${@:3}")
  set -- "$2"
fi

export WINEDEBUG=-all
# No prompts to install the .NET and HTML runtimes, which nothing here needs.
export WINEDLLOVERRIDES="mscoree,mshtml="
WINEPREFIX=$(mktemp -d /tmp/tolvan-wine.XXXXXX)
export WINEPREFIX

wine=""
for candidate in wine64 /usr/lib/wine/wine64 wine; do
  if command -v "$candidate" >/dev/null 2>&1; then wine=$candidate; break; fi
done
wineserver=""
for candidate in wineserver /usr/lib/wine/wineserver64 /usr/lib/wine/wineserver; do
  if command -v "$candidate" >/dev/null 2>&1; then wineserver=$candidate; break; fi
done

display=""
xvfb_pid=""
cleanup() {
  if [ -n "$wineserver" ]; then "$wineserver" -k >/dev/null 2>&1 || true; fi
  if [ -n "$xvfb_pid" ]; then kill "$xvfb_pid" 2>/dev/null || true; wait "$xvfb_pid" 2>/dev/null || true; fi
  rm -rf "$WINEPREFIX"
}
trap cleanup EXIT

if [ -n "$wine" ]; then
  for number in $(seq 91 140); do
    if [ ! -e "/tmp/.X${number}-lock" ] && [ ! -e "/tmp/.X11-unix/X${number}" ]; then display=":${number}"; break; fi
  done
  Xvfb "$display" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
  xvfb_pid=$!
  for _ in $(seq 50); do
    [ -e "/tmp/.X11-unix/X${display#:}" ] && break
    sleep 0.1
  done
  export DISPLAY=$display
  echo "wine prefix ${WINEPREFIX} on display ${DISPLAY}: first start"
  start=$(date +%s)
  timeout 150 "$wine" wineboot --init >/dev/null 2>&1 || echo "wineboot did not finish cleanly; going on"
  echo "wine ready after $(( $(date +%s) - start )) s"
else
  echo "wine is not installed: the wine tests will report themselves skipped"
fi

if [ ${#program[@]} -gt 0 ]; then
  if [ -z "$wine" ]; then echo "SKIPPED: wine64 is not installed"; exit 77; fi
  cd "$1" && "$wine" "${program[@]}"
  exit $?
fi

status=0
for dir in "$@"; do
  echo "== ${dir} (under wine)"
  # Only one program here uses the mouse, so the programs can run side by side.
  ctest --test-dir "$dir" --output-on-failure -j 3 || status=1
done
exit $status
