#!/usr/bin/env bash
# Configures and builds one flavour of the project; the targets to build may follow.
#   build.sh [targets]             build/, as the emulator runs
#   build.sh --sanitize [targets]  build-sanitize/, with AddressSanitizer and UndefinedBehaviorSanitizer
#   build.sh --fuzz [targets]      build-fuzz/, clang with libFuzzer and both sanitizers
set -euo pipefail
cd "$(dirname "$0")/.."
folder=build
options=(-DCMAKE_BUILD_TYPE=RelWithDebInfo)
# The checking builds keep Qt's own assertions (indexes in range, among them)
# on; -O1 builds them a fifth quicker than -O2 and runs the tests as fast.
checking=(-DCMAKE_BUILD_TYPE=Debug "-DCMAKE_CXX_FLAGS_DEBUG=-O1 -g")
case "${1:-}" in
  --sanitize) folder=build-sanitize options=("${checking[@]}" -DDRAVILO_SANITIZE=ON); shift ;;
  --fuzz) folder=build-fuzz options=("${checking[@]}" -DDRAVILO_LIBFUZZER=ON -DCMAKE_CXX_COMPILER=clang++); shift ;;
esac
cmake -S . -B "$folder" "${options[@]}" >/dev/null
cmake --build "$folder" -j"$(nproc)" ${1:+--target "$@"}
