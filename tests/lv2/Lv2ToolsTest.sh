#!/usr/bin/env bash
# The bundle as Debian's LV2 tools see it: its Turtle valid against the LV2 schemas that
# lv2-dev ships, the plug-in listed by lv2ls, and every control port shown by lv2info
# with its range and default.
#
# Usage: Lv2ToolsTest.sh LV2_FOLDER PLUGIN_URI
set -euo pipefail
folder=$(cd "$1" && pwd)
uri=$2
bundle="$folder/tolvan.lv2"
log=$(mktemp)
trap 'rm -f "$log"' EXIT
fail() { echo "FAILED: $*" >&2; exit 1; }

echo "== sord_validate"
# The schemas are lv2-dev's own files: other installed plug-ins' Turtle is not ours to judge.
mapfile -t schemas < <(dpkg -L lv2-dev 2>/dev/null | grep '^/usr/lib/lv2/.*\.ttl$' || true)
[ "${#schemas[@]}" -gt 0 ] && [ -e "${schemas[0]}" ] || fail "no LV2 schemas in /usr/lib/lv2 (lv2-dev)"
sord_validate "${schemas[@]}" "$bundle"/*.ttl > "$log" 2>&1 || { cat "$log"; fail "sord_validate"; }
grep -q "Found 0 errors" "$log" || { cat "$log"; fail "the Turtle has errors"; }

echo "== lv2ls"
LV2_PATH="$folder" lv2ls | grep -qx "$uri" || fail "lv2ls does not list $uri"

echo "== lv2info"
info=$(LV2_PATH="$folder:/usr/lib/lv2" lv2info "$uri")
grep -q "Name: *Tolvan$" <<< "$info" || fail "the name"
grep -q "Class: *Equaliser Plugin$" <<< "$info" || fail "the class: $(grep Class: <<< "$info")"
grep -q "Author: *\[Kelvo\] Ormund.T$" <<< "$info" || fail "the author"
# Each port is a paragraph; every control port has a minimum, a maximum and a default.
ports=$(grep -c "^	Port [0-9]*:" <<< "$info")
[ "$ports" = 42 ] || fail "$ports ports instead of 42"
awk '/^\tPort [0-9]+:/ { if (port != "" && control && !(min && max && def)) bad = bad " " port;
                         port = $2; control = 0; min = max = def = 0 }
     /lv2core#ControlPort/ { control = 1 }
     /Minimum:/ { min = 1 } /Maximum:/ { max = 1 } /Default:/ { def = 1 }
     END { if (control && !(min && max && def)) bad = bad " " port; if (bad != "") { print bad; exit 1 } }' \
  <<< "$info" || fail "control ports without range or default"
grep -q "Symbol: *peak1_freq$" <<< "$info" || fail "the port peak1_freq"
# The editor as an X11 user interface, in a binary of its own.
grep -A2 "^		$uri#ui$" <<< "$info" | grep -q "Class: *http://lv2plug.in/ns/extensions/ui#X11UI$" \
  || fail "no X11 user interface"
grep -q "Binary: *file://.*/tolvan_ui.so$" <<< "$info" || fail "the user interface's binary"
echo "LV2 tool checks passed"
