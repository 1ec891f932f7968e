#!/usr/bin/env bash
# CI: builds the Debian package, installs it with its dependencies, starts the installed
# /usr/bin/rowmill on a virtual display (Xvfb) and waits up to 30 s for its "Rowmill" window.
# The program, the display and the package are removed at exit, whatever happens.
set -euo pipefail
cd "$(dirname "$0")/.."
export DEBIAN_FRONTEND=noninteractive

deb=$(bash scripts/package.sh)
work=$(mktemp -d /tmp/rowmill-package.XXXXXX)
xvfb_pid=""
rowmill_pid=""

stop() {
  kill "$1" 2>/dev/null || return 0
  for _ in $(seq 1 20); do kill -0 "$1" 2>/dev/null || return 0; sleep 0.25; done
  kill -9 "$1" 2>/dev/null || true
}
cleanup() {
  set +e
  [ -n "$rowmill_pid" ] && stop "$rowmill_pid"
  [ -n "$xvfb_pid" ] && stop "$xvfb_pid"
  apt-get remove -y -qq rowmill >/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

echo "== installing $deb =="
# --reinstall: a package of the same version left behind must not stand in for this one.
if ! apt-get install -y --reinstall "$deb" >"$work/apt.log" 2>&1; then
  echo "FAILED: apt-get could not install the package:" >&2
  cat "$work/apt.log" >&2
  exit 1
fi
[ -x /usr/bin/rowmill ] || { echo "FAILED: the package installed no /usr/bin/rowmill" >&2; exit 1; }

echo "== starting /usr/bin/rowmill on a virtual display =="
Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
xvfb_pid=$!
for _ in $(seq 1 40); do [ -s "$work/display" ] && break; sleep 0.25; done
[ -s "$work/display" ] || { echo "FAILED: Xvfb did not start" >&2; cat "$work/xvfb.log" >&2; exit 1; }
export DISPLAY=":$(cat "$work/display")"
mkdir -m 700 "$work/runtime"
XDG_RUNTIME_DIR="$work/runtime" /usr/bin/rowmill >"$work/rowmill.log" 2>&1 &
rowmill_pid=$!

seconds=30
for ((i = 0; i < seconds * 4; i++)); do
  if xdotool search --onlyvisible --name '^Rowmill$' >/dev/null 2>&1; then
    echo "package check passed: the installed program showed its window after $((i / 4)) s"
    exit 0
  fi
  if ! kill -0 "$rowmill_pid" 2>/dev/null; then
    echo "FAILED: /usr/bin/rowmill ended before it showed a window; its output:" >&2
    cat "$work/rowmill.log" >&2
    exit 1
  fi
  sleep 0.25
done
echo "FAILED: no window titled \"Rowmill\" within $seconds s; the program's output:" >&2
cat "$work/rowmill.log" >&2
exit 1
