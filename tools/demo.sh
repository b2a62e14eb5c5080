#!/usr/bin/env bash
# make demo: runs simhost.exe under Wine with the complete example aircraft
# and the trace on: start-up, one aircraft load, a few notifications, shutdown.
set -eu
cd "$(dirname "$0")/.."
export WINEPREFIX="$PWD/build/wineprefix" WINEARCH=win32 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  echo "Preparing the Wine prefix (first run only)..."
  timeout 300 wineboot --init >/dev/null 2>&1 || true
  timeout 120 wineserver --wait || true
fi
timeout 120 wine build/win32/simhost.exe --debug 1 --aircraft examples/aircraft/Vestrel_Fighter
