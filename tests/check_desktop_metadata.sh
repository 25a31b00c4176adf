#!/usr/bin/env bash
# Validates the menu entry and the AppStream metainfo with Debian's own tools. Where they
# are missing the test is skipped, except in CI (CI set), where setup installed them.
# Usage: check_desktop_metadata.sh DESKTOP_FILE METAINFO_FILE
set -euo pipefail
for tool in desktop-file-validate appstreamcli; do
  if ! command -v "$tool" >/dev/null; then
    echo "$tool is missing (scripts/setup.sh installs it)" >&2
    [[ -n "${CI:-}" ]] && exit 1
    exit 77
  fi
done
desktop-file-validate "$1"
appstreamcli validate --no-net --pedantic "$2"
