#!/usr/bin/env bash
# Installs the Debian packages that building and testing Tolvan needs; does nothing for
# packages that are already there.
set -euo pipefail

packages=(
  cmake ninja-build g++ g++-multilib pkg-config
  googletest libgtest-dev libbenchmark-dev
  libstb-dev fonts-liberation2 libx11-dev libxext-dev libxtst-dev libfftw3-dev libsndfile1-dev
  mingw-w64 binutils
  lv2-dev
)
if [ "${1:-}" = "--tests" ]; then
  packages+=(xvfb xdotool wine64)
  # Load beside the validator's threaded checks.
  packages+=(stress-ng)
  # The package checks: dpkg-shlibdeps (dpkg-dev, file) and lintian.
  packages+=(dpkg-dev file lintian)
  # The validator's fuzzer is built with clang and its libFuzzer runtime.
  packages+=(clang-14 libclang-rt-14-dev)
  # The LV2 edition's checks: lilv's tools and library, and sord_validate.
  packages+=(lilv-utils liblilv-dev sordi)
fi

missing=()
for package in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || missing+=("$package")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  sudo_cmd=""
  [ "$(id -u)" -eq 0 ] || sudo_cmd="sudo"
  $sudo_cmd apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo_cmd apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
