#!/usr/bin/env bash
# Fails when an #include points up a layer. Each folder may include only its own headers and
# those of the layers below it; tests, benchmarks and the guide page builder may include anything.
set -euo pipefail
cd "$(dirname "$0")/.."

# The layer a header belongs to: platform's two subfolders are layers of their own.
layer_of() {
  case $1 in
    platform/ado/*) echo platform/ado ;;
    platform/datalinks/*) echo platform/datalinks ;;
    */*) echo "${1%%/*}" ;;
    *) echo "" ;;
  esac
}

declare -A allowed=(
  [base]="base"
  [platform/ado]="base platform/ado"
  [platform]="base platform"
  [platform/datalinks]="base platform platform/ado platform/datalinks"
  [data]="base platform platform/ado data"
  [widgets]="base platform platform/ado data widgets"
  [connection]="base platform platform/ado platform/datalinks data connection"
  [app]="base platform platform/ado platform/datalinks data widgets connection app"
)

status=0
while IFS= read -r file; do
  from=$(layer_of "$file")
  [ -n "${allowed[$from]:-}" ] || continue
  while IFS=: read -r line target; do
    to=$(layer_of "$target")
    if [[ " ${allowed[$from]} " != *" $to "* ]]; then
      echo "$file:$line: includes $target ($from may include only: ${allowed[$from]})"
      status=1
    fi
  done < <(grep -n '^[[:space:]]*#[[:space:]]*include[[:space:]]*"' "$file" |
           sed 's/^\([0-9]*\):[^"]*"\([^"]*\)".*/\1:\2/' || true)
done < <(git ls-files --cached --others --exclude-standard '*.h' '*.cpp')
[ $status -eq 0 ] && echo "Includes point down the layers only."
exit $status
