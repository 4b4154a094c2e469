#!/bin/bash
# Installs what the build and the tests need on a Debian machine (run as root).
# Quick when everything is there already.
set -eu
need=()
command -v x86_64-w64-mingw32-g++-posix >/dev/null || need+=(g++-mingw-w64-x86-64-posix)
[ -x /usr/lib/wine/wine64 ]                  || need+=(wine wine64)
command -v Xvfb  >/dev/null                  || need+=(xvfb)
command -v cmake >/dev/null                  || need+=(cmake)
command -v make  >/dev/null                  || need+=(make)
[ -d /usr/src/googletest ]                   || need+=(googletest)
[ -d /usr/share/wine/fonts ]                 || need+=(fonts-wine)
command -v xwd >/dev/null                    || need+=(x11-apps)
command -v pnmtopng >/dev/null               || need+=(netpbm)
# the check of the configuration report in a real browser: printed to PDF, read back as text
command -v chromium >/dev/null               || need+=(chromium)
command -v pdftotext >/dev/null              || need+=(poppler-utils)
[ -d /usr/share/fonts/truetype/dejavu ]      || need+=(fonts-dejavu-core)
if [ ${#need[@]} -gt 0 ]; then
  echo "Installing: ${need[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${need[@]}" >/dev/null
fi
