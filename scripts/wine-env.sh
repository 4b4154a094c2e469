# Sourced by run.sh, the test runner and the benchmark: prepares one Wine prefix, one virtual display
# and one persistent wineserver for everything started afterwards, and tears them down on exit.
#   WINE_BUILD   build directory (the prefix lives in $WINE_BUILD/wineprefix)
# Further prefixes, each with a display and a server of its own (the test runner's second run at
# another resolution), come from wine_env_prefix; wine_env_dpi sets a prefix's dots per inch.
export WINEPREFIX=${WINEPREFIX:-$WINE_BUILD/wineprefix}
export WINEDEBUG=${WINEDEBUG:--all,err+module}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
WINE=/usr/lib/wine/wine64
WINESERVER=/usr/lib/wine/wineserver
_wine_prefixes=()        # the prefixes whose servers this shell started
_xvfb_pids=()            # the virtual displays this shell started
wine_env_cleanup() {
  local p x
  for p in "${_wine_prefixes[@]}"; do WINEPREFIX=$p $WINESERVER -k >/dev/null 2>&1; done
  for x in "${_xvfb_pids[@]}"; do kill "$x" 2>/dev/null; wait "$x" 2>/dev/null; done
}
trap wine_env_cleanup EXIT

# Starts a virtual display of its own; its name (":N") goes into wine_display.
wine_env_display() {
  local dfile
  dfile=$(mktemp)
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$dfile" >/dev/null 2>&1 &
  _xvfb_pids+=($!)
  for _ in $(seq 200); do [ -s "$dfile" ] && break; sleep 0.05; done
  wine_display=":$(cat "$dfile")"
  rm -f "$dfile"
}

# A persistent server for prefix $1 on display $2 with its stdio detached, then one throw-away
# process, so that Wine's background services never hold the pipes of whoever started us (ctest
# would never see EOF). Creates the prefix on first use.
_wine_start() {
  WINEPREFIX=$1 DISPLAY=$2 $WINESERVER -p </dev/null >/dev/null 2>&1
  WINEPREFIX=$1 DISPLAY=$2 $WINE cmd /c exit </dev/null >/dev/null 2>&1
}
_wine_reg() { local p=$1 d=$2; shift 2; WINEPREFIX=$p DISPLAY=$d $WINE reg add "$@" /f </dev/null >/dev/null 2>&1; }

# Readies prefix $1 on display $2: a fresh server (never one left by another run or display),
# the prefix made on first use and tuned once.
wine_env_prefix() {
  local p=$1 d=$2
  WINEPREFIX=$p $WINESERVER -k >/dev/null 2>&1
  _wine_prefixes+=("$p")
  _wine_start "$p" "$d"
  if [ ! -f "$p/.editor-tuned" ]; then
    # No window manager in Xvfb: hiding a managed window would block for 2 s each time.
    _wine_reg "$p" "$d" 'HKCU\Software\Wine\X11 Driver' /v Managed /d N
    # A crash must end the process, not open the modal "Program Error" dialog.
    _wine_reg "$p" "$d" 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0
    # Debian's wine does not look in /usr/share/wine/fonts: copy the fonts into the prefix.
    [ -d /usr/share/wine/fonts ] && cp /usr/share/wine/fonts/* "$p/drive_c/windows/Fonts/" 2>/dev/null
    touch "$p/.editor-tuned"
  fi
}

# Gives prefix $1 (its server running on display $2) $3 dots per inch. A process reads the
# resolution when it starts, the services too: when it changes, the server starts again.
wine_env_dpi() {
  local p=$1 d=$2 dpi=$3
  [ "$(cat "$p/.editor-dpi" 2>/dev/null)" = "$dpi" ] && return 0
  _wine_reg "$p" "$d" 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi"
  WINEPREFIX=$p $WINESERVER -k >/dev/null 2>&1
  WINEPREFIX=$p $WINESERVER -w >/dev/null 2>&1
  _wine_start "$p" "$d"
  echo "$dpi" > "$p/.editor-dpi"
}

if [ -z "${DISPLAY:-}" ] || [ -n "${WINE_OWN_DISPLAY:-}" ]; then
  wine_env_display
  export DISPLAY=$wine_display
fi
wine_env_prefix "$WINEPREFIX" "$DISPLAY"
# Windows path of a Unix path (Z: is the root of the Unix file system).
winpath() { local p; p=$(cd "$1" && pwd); echo "Z:${p//\//\\}"; }
