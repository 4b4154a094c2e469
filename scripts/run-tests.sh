#!/bin/bash
# Runs the test suite (CTest) under Wine inside a private virtual display.
# usage: scripts/run-tests.sh BUILD_DIR [extra ctest args]
set -u
WINE_BUILD=$(cd "${1:?usage: run-tests.sh BUILD_DIR}" && pwd); shift
WINE_OWN_DISPLAY=1
. "$(dirname "$0")/wine-env.sh"

# Every test runs at 96 dots per inch; the programs that show windows run once more at 144 (as
# <name>_144dpi, through scripts/hidpi-test.sh), in a prefix of their own with its own server and
# virtual display, so that the two runs go side by side without seeing each other's windows.
wine_env_dpi "$WINEPREFIX" "$DISPLAY" 96
export EDITOR_DPI=96                  # the resolution a test program can hold its run to
wine_env_display
export EDITOR_HIDPI_PREFIX=$WINE_BUILD/wineprefix-144dpi EDITOR_HIDPI_DISPLAY=$wine_display
wine_env_prefix "$EDITOR_HIDPI_PREFIX" "$EDITOR_HIDPI_DISPLAY"
wine_env_dpi "$EDITOR_HIDPI_PREFIX" "$EDITOR_HIDPI_DISPLAY" 144

# Faults for the saving tests: T: is a small disk (room for one installation with its Editor.exe)
# that a test can fill, R: a read-only view of U:. The tests tell from EDITOR_FAULT_DISKS which of
# them were mounted; those that need a disk the machine cannot mount are skipped, and CTest shows
# them as skipped (config_faults, shell_faults). With EDITOR_FAULT_DISKS_REQUIRED set (the CI, on
# a machine that can mount), a disk that cannot be mounted ends the run, and no fault test may
# skip.
fault=$WINE_BUILD/faultfs
mounted=
unmount_faults() {
  for m in "$fault/ro" "$fault/full"; do mountpoint -q "$m" 2>/dev/null && umount "$m" 2>/dev/null; done
  rm -f "$WINEPREFIX/dosdevices/t:" "$WINEPREFIX/dosdevices/r:" "$WINEPREFIX/dosdevices/u:"
}
trap 'unmount_faults; wine_env_cleanup' EXIT
unmount_faults
mkdir -p "$fault/full" "$fault/rw" "$fault/ro"
if mount -t tmpfs -o size=4m tmpfs "$fault/full" 2>/dev/null; then
  ln -sfn "$fault/full" "$WINEPREFIX/dosdevices/t:"
  mounted=T
else
  echo "note: cannot mount a small disk here; the full-disk tests will be skipped"
fi
rm -rf "${fault:?}/rw/"*
if mount --bind "$fault/rw" "$fault/ro" 2>/dev/null && mount -o remount,ro,bind "$fault/ro" 2>/dev/null; then
  ln -sfn "$fault/rw" "$WINEPREFIX/dosdevices/u:"
  ln -sfn "$fault/ro" "$WINEPREFIX/dosdevices/r:"
  mounted=${mounted}R
else
  mountpoint -q "$fault/ro" && umount "$fault/ro"
  echo "note: cannot make a read-only folder here; the unwritable-folder tests will be skipped"
fi
export EDITOR_FAULT_DISKS=$mounted
if [ -n "${EDITOR_FAULT_DISKS_REQUIRED:-}" ] && [ "$mounted" != "TR" ]; then
  echo "error: the fault disks are required here but could not all be mounted (mounted: '${mounted}')" >&2
  exit 1
fi

cd "$WINE_BUILD" && ctest --output-on-failure -j2 "$@"
