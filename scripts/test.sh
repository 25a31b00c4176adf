#!/usr/bin/env bash
# Installs what is missing, builds once, and runs every test headless through
# CTest in two time zones: stored dates are wall-clock values and must read the
# same in Lisbon (1900 offset -0:36:45) and in São Paulo (midnight gaps). Then
# once more under the sanitizers, with the fuzz targets (scripts/sanitize.sh).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/build.sh
export QT_QPA_PLATFORM=offscreen
status=0
for zone in Europe/Lisbon America/Sao_Paulo; do
    echo "== TZ=$zone"
    TZ="$zone" ctest --test-dir build --output-on-failure -j 2 --timeout 600 || status=1
done
bash scripts/sanitize.sh || status=1
exit "$status"
