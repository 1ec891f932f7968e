#!/usr/bin/env bash
# Configures and builds one build folder: build.sh <folder> [extra cmake arguments...]
set -euo pipefail
cd "$(dirname "$0")/.."
dir=$1
shift
generator=()
command -v ninja >/dev/null && generator=(-G Ninja)
if [ ! -f "$dir/CMakeCache.txt" ]; then
  cmake -S . -B "$dir" "${generator[@]}" -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
fi
cmake --build "$dir" -j"$(nproc)"
