#!/usr/bin/env bash
# Installs what is missing, builds, starts throwaway database servers, runs every test, then the
# sanitizer build's tests (leaks included). With ROWMILL_TEST_CLANG=1 (as CI runs it) it also builds
# a Release build with Clang and runs its tests. Warnings are errors in every build made here. The
# servers are stopped and removed at exit, whatever happens; a failed run prints their logs first.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh
bash scripts/build.sh build -DROWMILL_WERROR=ON
bash scripts/build.sh build-asan -DROWMILL_SANITIZE=ON -DROWMILL_BUILD_BENCH=OFF -DROWMILL_WERROR=ON
if [ "${ROWMILL_TEST_CLANG:-0}" = 1 ]; then
  echo "== Release build with Clang =="
  bash scripts/build.sh build-clang -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=Release \
    -DROWMILL_BUILD_BENCH=OFF -DROWMILL_WERROR=ON
fi

source scripts/test-servers.sh
trap stop_test_servers EXIT
start_test_servers
export ROWMILL_REQUIRE_SERVERS=1
export QT_QPA_PLATFORM=offscreen

status=0
echo "== tests =="
ctest --test-dir build -j2 --output-on-failure || status=1
echo "== tests under the address, leak and undefined-behaviour sanitizers =="
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 \
  LSAN_OPTIONS=suppressions=$PWD/tests/lsan.supp:print_suppressions=0 \
  UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  ctest --test-dir build-asan -j2 --output-on-failure || status=1
if [ "${ROWMILL_TEST_CLANG:-0}" = 1 ]; then
  echo "== tests of the Release build with Clang =="
  ctest --test-dir build-clang -j2 --output-on-failure || status=1
fi
if [ $status -ne 0 ]; then
  print_test_server_logs
fi
exit $status
