#!/usr/bin/env bash
# Installs every Debian package the project needs. Safe to run again: packages
# already present are skipped, and apt is only consulted when something is missing.
set -euo pipefail

PACKAGES=(
  build-essential cmake ninja-build pkg-config clang-format clang libclang-rt-14-dev
  qt6-base-dev qt6-base-dev-tools libqt6sql6-sqlite libqt6sql6-odbc qt6-translations-l10n
  libgl-dev libsqlite3-dev sqlite3
  unixodbc unixodbc-dev tdsodbc libsqliteodbc
  xvfb xauth fonts-dejavu-core
  python3-sqlglot
  dpkg-dev help2man desktop-file-utils appstream
  libreoffice-writer-nogui poppler-utils python3-uno
)

missing=()
for p in "${PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if ((${#missing[@]})); then
  echo "setup: installing ${missing[*]}"
  SUDO=""
  if [[ $(id -u) -ne 0 ]]; then SUDO="sudo"; fi
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get update -qq
  $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# The ODBC drivers register themselves in odbcinst.ini; make sure both names we use exist.
if ! odbcinst -q -d 2>/dev/null | grep -q '^\[SQLite3\]'; then
  echo "setup: the SQLite3 ODBC driver is not registered in odbcinst.ini" >&2
  exit 1
fi
