#!/usr/bin/env bash
# Creates the Wine prefix of the end-to-end tests once, before any of them
# runs: concurrent first starts in a fresh prefix race each other.
set -eu
. "$(dirname "$0")/wine_env.sh"
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  mkdir -p "$WINEPREFIX"
  timeout 300 wineboot --init >/dev/null 2>&1
  timeout 120 wineserver --wait
fi
[ -f "$WINEPREFIX/system.reg" ] || { echo "wine prefix was not created: $WINEPREFIX" >&2; exit 1; }
echo "wine prefix ready: $WINEPREFIX"
