#!/usr/bin/env bash
# Creates the sample database from its SQL (anew each time) and puts its data link file,
# "Rowmill sample.udl", into the data link folder.
set -euo pipefail
cd "$(dirname "$0")/.."
db="$PWD/samples/rowmill-sample.db"
rm -f "$db"
sqlite3 "$db" < samples/sample.sql
folder=$(bash scripts/data-link-folder.sh)
mkdir -p "$folder"
sed "s|@DATABASE@|$db|" "samples/Rowmill sample.udl.in" > "$folder/Rowmill sample.udl"
echo "$folder/Rowmill sample.udl"
