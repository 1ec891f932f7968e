#!/usr/bin/env bash
# Installs what building, running and testing Rowmill needs on Debian 12.
# Idempotent: packages already present are left alone.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config git clang clang-format
  qt6-base-dev qt6-base-dev-tools libgl-dev
  unixodbc unixodbc-dev odbcinst libsqliteodbc odbc-postgresql odbc-mariadb
  postgresql mariadb-server mariadb-client sqlite3
  libgtest-dev libgmock-dev googletest
  fonts-liberation2 fonts-dejavu-core
  xvfb xauth x11-apps imagemagick xdotool file
  locales
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

if [ ${#missing[@]} -gt 0 ]; then
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# A Latin-1 locale lets the tests check how characters outside the user's character set are written.
if ! locale -a 2>/dev/null | grep -qi '^de_DE\.iso88591$'; then
  sed -i 's/^# *\(de_DE ISO-8859-1\)/\1/' /etc/locale.gen
  grep -q '^de_DE ISO-8859-1' /etc/locale.gen || echo 'de_DE ISO-8859-1' >> /etc/locale.gen
  sed -i 's/^# *\(en_US.UTF-8 UTF-8\)/\1/' /etc/locale.gen
  grep -q '^en_US.UTF-8 UTF-8' /etc/locale.gen || echo 'en_US.UTF-8 UTF-8' >> /etc/locale.gen
  locale-gen >/dev/null
fi
