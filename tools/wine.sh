# Sourced by demo.sh and bench.sh: the Wine environment of the win32 build's
# programs (no installer prompts, no debug noise, 32-bit), with the prefix made
# on first use. KSV_WIN32_BUILD_DIR (default build/win32) names the win32
# build and KSV_WINEPREFIX (default build/wineprefix) the Wine prefix.
build_dir=${KSV_WIN32_BUILD_DIR:-build/win32}
export WINEPREFIX="${KSV_WINEPREFIX:-$PWD/build/wineprefix}" WINEARCH=win32 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  echo "Preparing the Wine prefix (first run only)..."
  timeout 300 wineboot --init >/dev/null 2>&1 || true
  timeout 120 wineserver --wait || true
fi
