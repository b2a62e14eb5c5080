#!/usr/bin/env bash
# make demo: replays the showcase sortie of the example fighter under Wine:
# the unmodified kestovan.dll, loaded by simhost.exe, flies five minutes of
# recorded flight in virtual time (an overspeed in a dive, a G overstress,
# an engine overheating, cut and restarted until it seizes, the landing gear
# broken and the flaps jammed), then prints what the module did and when,
# the failure summary, and where the picture of the flight was written. The
# trace is on, so the timeline also shows the version gate at attach, start-up,
# the configuration as read, each failure's trace line and shutdown.
#
# KSV_WIN32_BUILD_DIR and KSV_WINEPREFIX choose the build and prefix (tools/wine.sh).
set -eu
cd "$(dirname "$0")/.."
. tools/wine.sh
picture=build/showcase.svg
mkdir -p build
timeout 120 wine "$build_dir/simhost.exe" replay \
  --aircraft examples/aircraft/Vestrel_Fighter \
  --flight examples/flights/showcase.csv \
  --debug on \
  --svg "$picture"
echo
echo "Open $PWD/$picture in a browser to see the flight: load factor, airspeed and"
echo "engine temperatures against time, the aircraft's limits, and a mark at each failure."
