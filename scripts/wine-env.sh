# Sourced by run.sh and the test runner: prepares one Wine prefix, one virtual display
# and one persistent wineserver for everything started afterwards, and tears them down on exit.
#   WINE_BUILD   build directory (the prefix lives in $WINE_BUILD/wineprefix)
export WINEPREFIX=${WINEPREFIX:-$WINE_BUILD/wineprefix}
export WINEDEBUG=${WINEDEBUG:--all,err+module}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
WINE=/usr/lib/wine/wine64
WINESERVER=/usr/lib/wine/wineserver
_xvfb_pid=
wine_env_cleanup() {
  $WINESERVER -k >/dev/null 2>&1
  if [ -n "$_xvfb_pid" ]; then kill "$_xvfb_pid" 2>/dev/null; wait "$_xvfb_pid" 2>/dev/null; fi
}
trap wine_env_cleanup EXIT
$WINESERVER -k >/dev/null 2>&1          # never reuse a server left by another run or display
if [ -z "${DISPLAY:-}" ] || [ -n "${WINE_OWN_DISPLAY:-}" ]; then
  _dfile=$(mktemp)
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$_dfile" >/dev/null 2>&1 &
  _xvfb_pid=$!
  for _ in $(seq 200); do [ -s "$_dfile" ] && break; sleep 0.05; done
  export DISPLAY=":$(cat "$_dfile")"; rm -f "$_dfile"
fi
# A persistent server with its stdio detached, then one throw-away process, so that Wine's
# background services never hold the pipes of whoever started us (ctest would never see EOF).
$WINESERVER -p </dev/null >/dev/null 2>&1
$WINE cmd /c exit </dev/null >/dev/null 2>&1      # creates the prefix on first use
_reg() { $WINE reg add "$@" /f </dev/null >/dev/null 2>&1; }
if [ ! -f "$WINEPREFIX/.editor-tuned" ]; then
  # No window manager in Xvfb: hiding a managed window would block for 2 s each time.
  _reg 'HKCU\Software\Wine\X11 Driver' /v Managed /d N
  # A crash must end the process, not open the modal "Program Error" dialog.
  _reg 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0
  # Debian's wine does not look in /usr/share/wine/fonts: copy the fonts into the prefix.
  [ -d /usr/share/wine/fonts ] && cp /usr/share/wine/fonts/* "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null
  touch "$WINEPREFIX/.editor-tuned"
fi
# Windows path of a Unix path (Z: is the root of the Unix file system).
winpath() { local p; p=$(cd "$1" && pwd); echo "Z:${p//\//\\}"; }
