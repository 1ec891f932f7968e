#!/usr/bin/env bash
# Installs what is missing, builds, creates the sample database with its data link file, and
# starts Rowmill. Without a display it runs on a virtual one (Xvfb).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
bash scripts/build.sh build
bash scripts/make-sample.sh >/dev/null
if [ -z "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  echo "No display found: starting Rowmill on a virtual display (xvfb-run)." >&2
  exec xvfb-run -a -s "-screen 0 1280x800x24" build/app/rowmill
fi
exec build/app/rowmill
