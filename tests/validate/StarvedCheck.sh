#!/bin/sh
# StarvedCheck.sh <validator> <library>: a check that works, but on a processor that busy
# workers share with it at a lower priority, takes several times its timeout on the clock
# while using a fraction of it: it must pass, not be called hung. Exits 77 (skipped) where
# stress-ng or taskset is missing, or where the check ran too fast to say anything.
validator=$1
library=$2
for tool in stress-ng taskset; do
  command -v "$tool" >/dev/null 2>&1 || { echo "SKIPPED: $tool is not installed"; exit 77; }
done
timeout=1
taskset -c 0 stress-ng --cpu 2 --timeout 120 >/dev/null 2>&1 &
stress=$!
sleep 0.5
output=$(taskset -c 0 nice -n 5 "$validator" --only rates-and-block-sizes --timeout "$timeout" --no-window "$library")
status=$?
kill "$stress" 2>/dev/null
wait "$stress" 2>/dev/null
echo "$output"
[ "$status" -eq 0 ] || { echo "a starved check that kept working was failed"; exit 1; }
clock=$(echo "$output" | sed -n 's/^ok .*rates-and-block-sizes *\([0-9.]*\) s .*/\1/p')
if [ -z "$clock" ] || [ "$(echo "$clock > $timeout" | bc)" -ne 1 ]; then
  echo "SKIPPED: the check took ${clock:-?} s, within its ${timeout} s timeout: the processor was not busy enough"
  exit 77
fi
echo "passed after ${clock} s on the clock with a ${timeout} s timeout"
