#!/usr/bin/env bash
# Installs what is missing, builds, starts throwaway database servers, runs every test, then the
# sanitizer build's tests. The servers are stopped and removed at exit, whatever happens.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh
bash scripts/build.sh build
bash scripts/build.sh build-asan -DROWMILL_SANITIZE=ON -DROWMILL_BUILD_BENCH=OFF

source scripts/test-servers.sh
trap stop_test_servers EXIT
start_test_servers
export ROWMILL_REQUIRE_SERVERS=1
export QT_QPA_PLATFORM=offscreen

status=0
echo "== tests =="
ctest --test-dir build --output-on-failure || status=1
echo "== tests under the address and undefined-behaviour sanitizers =="
ASAN_OPTIONS=detect_leaks=0:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  ctest --test-dir build-asan --output-on-failure || status=1
exit $status
