#!/usr/bin/env bash
# Installs what is missing, builds, creates the demo database and runs the
# host program on it. Extra arguments go to orla-contas.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/build.sh
DEMO_DB="$PWD/build/demo/orla_demo.db"
export ORLA_COMMON_APPDATA="${ORLA_COMMON_APPDATA:-$PWD/build/demo/appdata}"
./build/orla-demo-db "$DEMO_DB"
./build/orla-contas --database "$DEMO_DB" "$@"
