#!/usr/bin/env bash
# The Debian package as a user gets it, and the install rules: what the package holds,
# that the plug-in loads from the unpacked package with its manual beside it, that
# lintian finds no error, and that an install into one user's VST folder, and of the LV2
# bundle into one user's LV2 folder, is removed whole by the uninstall.
#
# Usage: PackageTest.sh BUILD_DIR TOLVAN_HOST SOURCE_DIR
set -euo pipefail
build=$1
host=$2
source=$3
work=$(mktemp -d)
manifest="$build/install_manifest.txt"
lv2_manifest="$build/install_manifest_lv2.txt"
[ -f "$manifest" ] && cp "$manifest" "$work/manifest.saved"
[ -f "$lv2_manifest" ] && cp "$lv2_manifest" "$work/lv2_manifest.saved"
restore() {
  if [ -f "$work/manifest.saved" ]; then cp "$work/manifest.saved" "$manifest"; else rm -f "$manifest"; fi
  if [ -f "$work/lv2_manifest.saved" ]; then cp "$work/lv2_manifest.saved" "$lv2_manifest"; else rm -f "$lv2_manifest"; fi
  rm -rf "$work"
}
trap restore EXIT
fail() { echo "FAILED: $*" >&2; exit 1; }

echo "== cpack"
cpack --config "$build/CPackConfig.cmake" -B "$work/package" > "$work/cpack.log" 2>&1 || { cat "$work/cpack.log"; fail "cpack"; }
deb=$(ls "$work"/package/tolvan_*_amd64.deb)

echo "== file list"
expected="./usr/bin/tolvan-host
./usr/lib/lv2/tolvan.lv2/documents/editor.png
./usr/lib/lv2/tolvan.lv2/documents/index.htm
./usr/lib/lv2/tolvan.lv2/manifest.ttl
./usr/lib/lv2/tolvan.lv2/presets.ttl
./usr/lib/lv2/tolvan.lv2/tolvan.ttl
./usr/lib/lv2/tolvan.lv2/tolvan_dsp.so
./usr/lib/lv2/tolvan.lv2/tolvan_ui.so
./usr/lib/vst/Tolvan/Factory-Presets.fxb
./usr/lib/vst/Tolvan/Tolvan.so
./usr/lib/vst/Tolvan/documents/editor.png
./usr/lib/vst/Tolvan/documents/index.htm
./usr/share/doc/tolvan/changelog.gz
./usr/share/doc/tolvan/copyright
./usr/share/doc/tolvan/manual/editor.png
./usr/share/doc/tolvan/manual/index.htm
./usr/share/man/man1/tolvan-host.1.gz"
actual=$(dpkg-deb -c "$deb" | awk '{print $6}' | grep -v '/$' | sort)
diff <(echo "$expected") <(echo "$actual") || fail "the package's files"

echo "== control fields"
[ "$(dpkg-deb -f "$deb" Package)" = tolvan ] || fail "package name"
[ "$(dpkg-deb -f "$deb" Architecture)" = amd64 ] || fail "architecture"
[ "$(dpkg-deb -f "$deb" Section)" = sound ] || fail "section"
dpkg-deb -f "$deb" Depends | grep -q '^libc6 (>= ' || fail "dependencies from dpkg-shlibdeps: $(dpkg-deb -f "$deb" Depends)"
dpkg-deb -f "$deb" Depends | grep -q 'libsndfile1' || fail "tolvan-host's libsndfile: $(dpkg-deb -f "$deb" Depends)"
dpkg-deb -f "$deb" Recommends | grep -qw 'xdg-utils' || fail "xdg-utils, which opens the manual, is not recommended"

echo "== unpacked and loaded"
dpkg-deb -x "$deb" "$work/root"
folder="$work/root/usr/lib/vst/Tolvan"
"$host" info --plugin "$folder/Tolvan.so" > "$work/info.txt" || { cat "$work/info.txt"; fail "tolvan-host info"; }
grep -qF "Effect name:     KR [Tolvan]" "$work/info.txt" || fail "the effect's name"
grep -qF "Manual:          $folder/documents/index.htm (found)" "$work/info.txt" || fail "the manual beside the library"
cmp -s "$folder/documents/index.htm" "$source/documents/index.htm" || fail "the manual's text"
grep -q "^License: OFL-1.1" "$work/root/usr/share/doc/tolvan/copyright" || fail "the typeface's licence"
grep -qx "License: GPL-3.0+" "$work/root/usr/share/doc/tolvan/copyright" || fail "the project's licence"
grep -qF "GNU General Public" "$folder/documents/index.htm" || fail "the manual's licence"

echo "== the factory presets' bank loads in the packaged plug-in"
"$host" preset show --plugin "$folder/Tolvan.so" "$folder/Factory-Presets.fxb" > "$work/bank.txt" \
  || { cat "$work/bank.txt"; fail "the factory bank"; }
grep -qF '"Vocal Presence"' "$work/bank.txt" || fail "the factory bank's programs"

echo "== the packaged LV2 bundle is what LV2 hosts find"
LV2_PATH="$work/root/usr/lib/lv2" lv2ls | grep -qx "urn:tolvan:kr-tolvan" || fail "lv2ls does not list the packaged plug-in"

echo "== the packaged tolvan-host finds the packaged plug-in by itself"
"$work/root/usr/bin/tolvan-host" --version | grep -q "^tolvan-host [0-9]" || fail "tolvan-host --version"
"$work/root/usr/bin/tolvan-host" info > "$work/own-info.txt" || { cat "$work/own-info.txt"; fail "the packaged tolvan-host"; }
grep -qF "Loaded $folder/Tolvan.so" "$work/own-info.txt" || fail "the packaged tool loads $(head -1 "$work/own-info.txt")"
man -l "$work/root/usr/share/man/man1/tolvan-host.1.gz" 2> "$work/man.err" | grep -q "tolvan-host snapshot OUT.png" \
  || fail "the manual page lacks the commands' help"
[ ! -s "$work/man.err" ] || { cat "$work/man.err"; fail "the manual page has formatting errors"; }
grep -qF "SIL OPEN FONT LICENSE Version 1.1" "$work/root/usr/share/doc/tolvan/copyright" || fail "the licence text"

echo "== lintian"
lintian_ok=1
lintian --fail-on error "$deb" > "$work/lintian.log" 2>&1 || lintian_ok=0
grep -v "running with root privileges" "$work/lintian.log" || true
[ "$lintian_ok" = 1 ] || fail "lintian reports an error"

echo "== install into one user's VST folder, then uninstall"
cmake --install "$build" --prefix "$work/home/.vst" > /dev/null
installed=$(cd "$work/home/.vst" && find . -type f | sort)
diff <(printf '%s\n' ./Tolvan/Factory-Presets.fxb ./Tolvan/Tolvan.so ./Tolvan/documents/editor.png ./Tolvan/documents/index.htm) <(echo "$installed") \
  || fail "the installed files"
cmake -DMANIFEST="$manifest" -P "$source/cmake/Uninstall.cmake" > /dev/null
[ -d "$work/home/.vst" ] || fail "the uninstall removed the VST folder itself"
[ -z "$(ls -A "$work/home/.vst")" ] || fail "left behind: $(cd "$work/home/.vst" && find .)"

echo "== install the LV2 bundle into one user's LV2 folder, then uninstall"
cmake --install "$build" --component lv2 --prefix "$work/home/.lv2" > /dev/null
installed=$(cd "$work/home/.lv2" && find . -type f | sort)
diff <(printf '%s\n' ./tolvan.lv2/documents/editor.png ./tolvan.lv2/documents/index.htm ./tolvan.lv2/manifest.ttl \
                     ./tolvan.lv2/presets.ttl ./tolvan.lv2/tolvan.ttl ./tolvan.lv2/tolvan_dsp.so ./tolvan.lv2/tolvan_ui.so) \
     <(echo "$installed") \
  || fail "the installed LV2 files"
LV2_PATH="$work/home/.lv2" lv2ls | grep -qx "urn:tolvan:kr-tolvan" || fail "lv2ls does not list the installed plug-in"
cmake -DMANIFEST="$lv2_manifest" -P "$source/cmake/Uninstall.cmake" > /dev/null
[ -z "$(ls -A "$work/home/.lv2")" ] || fail "left behind: $(cd "$work/home/.lv2" && find .)"
echo "package checks passed"
