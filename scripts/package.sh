#!/usr/bin/env bash
# Builds what the package holds in the build folder (not the tests and benchmarks), makes the
# Debian package from it, and prints the package's path.
# CPack's own messages go to standard error, so "$(bash scripts/package.sh)" is the path alone.
set -euo pipefail
cd "$(dirname "$0")/.."
ROWMILL_BUILD_TARGETS=rowmill_package_contents bash scripts/build.sh build >&2
# An older version's package must not be taken for this one.
rm -f build/rowmill_*.deb
(cd build && cpack -G DEB) >&2
debs=(build/rowmill_*.deb)
[ -f "${debs[0]}" ] || { echo "cpack made no build/rowmill_*.deb" >&2; exit 1; }
echo "$PWD/${debs[0]}"
