#!/usr/bin/env bash
# Installs, from Debian's packages, whatever the build, the tests, the
# Windows compile check (MinGW-w64) and the emulator need and the machine
# does not have yet. With --fuzz also clang and its runtime libraries,
# libclang_rt.fuzzer among them, for the fuzz targets.
set -euo pipefail

packages=(build-essential cmake qt6-base-dev qt6-serialport-dev qt6-qpa-plugins
          libgtest-dev fonts-dejavu-core locales python3 python3-serial python3-pytest xvfb
          g++-mingw-w64-x86-64-posix)
[ "${1:-}" != --fuzz ] || packages+=(clang libclang-rt-14-dev)
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
  echo "Installing: ${missing[*]}"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}"
fi

# The locale test runs under a decimal separator that is neither "." nor ",".
if ! locale -a 2>/dev/null | grep -qixE 'fa_IR\.utf-?8'; then
  echo "Generating the fa_IR.UTF-8 locale"
  $sudo localedef -i fa_IR -f UTF-8 fa_IR.UTF-8
fi
