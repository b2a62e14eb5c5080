# Sourced by the end-to-end scripts: one Wine prefix per build, no installer
# prompts, no debug noise, 32-bit.
: "${KSV_WIN32_BUILD_DIR:?KSV_WIN32_BUILD_DIR must name the win32 build}"
: "${KSV_WINEPREFIX:?KSV_WINEPREFIX must name the Wine prefix}"
export WINEPREFIX="$KSV_WINEPREFIX"
export WINEARCH=win32
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
unset DISPLAY WAYLAND_DISPLAY
