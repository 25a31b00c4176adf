#!/usr/bin/env bash
# Installs what is missing, builds, creates the demo database and runs the
# host program, which finds the database through the settings the demo
# builder wrote. Extra arguments go to orla-contas.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/build.sh
DEMO_DB="$PWD/build/demo/orla_demo.db"
export ORLA_COMMON_APPDATA="${ORLA_COMMON_APPDATA:-$PWD/build/demo/appdata}"
export ORLA_REGISTRY_DIR="${ORLA_REGISTRY_DIR:-$PWD/build/demo/registry}"
./build/orla-demo-db "$DEMO_DB"
./build/orla-contas "$@"
