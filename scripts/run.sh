#!/usr/bin/env bash
# Installs what is missing, builds, creates the demo database (and the settings
# that point to it) and runs the host program on it: the statement window with
# its toolbar with a display; without one, the same window headless, writing
# the statement as CSV, a PNG picture of the window, the statement report
# (RTF, ".doc") and that report as PDF, and printing their paths. Extra
# arguments go to orla-contas. The demo user's password travels in the
# environment, never on the command line.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/build.sh
DEMO="$PWD/build/demo"
export ORLA_COMMON_APPDATA="${ORLA_COMMON_APPDATA:-$DEMO/appdata}"
export ORLA_REGISTRY_DIR="${ORLA_REGISTRY_DIR:-$DEMO/registry}"
./build/orla-demo-db "$DEMO/orla_demo.db"
export ORLA_SENHA="${ORLA_SENHA:-ana-2024}"
if [[ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]]; then
  ./build/orla-contas --utilizador ana "$@"
else
  # Three weeks around today: the opening balance, reconciled movements and
  # the coming ones fit in one picture.
  ./build/orla-contas --utilizador ana --pasta-saida "$DEMO" \
    --inicio "$(date -d '-14 days' +%d-%m-%Y)" --fim "$(date -d '+7 days' +%d-%m-%Y)" "$@"
fi
