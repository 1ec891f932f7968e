#!/usr/bin/env bash
# Prints the data link folder: the FileDSNPath of odbcinst.ini's [ODBC] section when it is set,
# otherwise unixODBC's own file data source folder.
set -euo pipefail
ini="$(odbcinst -j | sed -n 's/^DRIVERS\.*: //p')"
path=""
if [ -f "$ini" ]; then
  path=$(awk -F= '/^\[/{s=$0} s=="[ODBC]" && $1 ~ /^[ \t]*FileDSNPath[ \t]*$/ {gsub(/^[ \t]+|[ \t]+$/, "", $2); print $2}' "$ini" | tail -n 1)
fi
[ -n "$path" ] || path="$(odbcinst -j | sed -n 's/^FILE DATA SOURCES\.*: //p')"
echo "$path"
