#!/usr/bin/env bash
# Configures and builds one build folder: build.sh <folder> [extra cmake arguments...]
# A new folder is configured as RelWithDebInfo; extra arguments are applied on every call, so a
# folder configured earlier takes them too. ROWMILL_BUILD_TARGETS, when set, names the targets to
# build instead of all of them.
set -euo pipefail
cd "$(dirname "$0")/.."
dir=$1
shift
generator=()
command -v ninja >/dev/null && generator=(-G Ninja)
if [ ! -f "$dir/CMakeCache.txt" ]; then
  cmake -S . -B "$dir" "${generator[@]}" -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
elif [ $# -gt 0 ]; then
  cmake -S . -B "$dir" "$@" >/dev/null
fi
targets=()
for t in ${ROWMILL_BUILD_TARGETS:-}; do targets+=(--target "$t"); done
cmake --build "$dir" -j"$(nproc)" "${targets[@]}"
