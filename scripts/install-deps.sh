#!/usr/bin/env bash
# Installs, from Debian's packages, whatever the machine does not have yet
# of what is asked:
#   install-deps.sh           what building and running the emulator needs
#   install-deps.sh --tests   and what the tests need: GoogleTest, pytest and
#                             pyserial, Xvfb, MinGW-w64 for the Windows compile
#                             check, and the fa_IR.UTF-8 locale
#   install-deps.sh --fuzz    the tests' and clang with libFuzzer
set -euo pipefail

packages=(build-essential cmake qt6-base-dev qt6-serialport-dev qt6-qpa-plugins fonts-dejavu-core)
tests=(libgtest-dev locales python3 python3-serial python3-pytest xvfb g++-mingw-w64-x86-64-posix)
case "${1:-}" in
  --tests) packages+=("${tests[@]}") ;;
  --fuzz) packages+=("${tests[@]}" clang libclang-rt-14-dev) ;;
esac
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
if [ -n "${1:-}" ] && ! locale -a 2>/dev/null | grep -qixE 'fa_IR\.utf-?8'; then
  echo "Generating the fa_IR.UTF-8 locale"
  $sudo localedef -i fa_IR -f UTF-8 fa_IR.UTF-8
fi
