#!/usr/bin/env bash
# Builds the Windows program and its tests (scripts/build-windows.sh), runs the
# tests under wine, then a person's session on the real Win32 user interface
# under a virtual display. Screenshots land in build-windows/test-artefacts/.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh wine wine64 xvfb xdotool imagemagick x11-utils sqlite3 xclip

bash scripts/build-windows.sh -DCHECKBOOK_WERROR=ON

# One headless wine prefix for the run, created before the tests time out on it.
export WINEPREFIX=$PWD/build-windows/wineprefix WINEARCH=win64 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
# One wine server for all the tests, started before the prefix so wine's own
# services stay up: a server that ends between two tests resets the
# connection of a test starting just then.
mkdir -p "$WINEPREFIX"
wineserver -k 2>/dev/null || true
wineserver -p
wineboot -i >/dev/null 2>&1 || true
ctest --test-dir build-windows --output-on-failure -j "$(nproc)"
wineserver -k 2>/dev/null || true
bash tests/windows/wine_session.sh build-windows/bin build-windows/test-artefacts
bash tests/windows/dialog_keys_session.sh build-windows/bin build-windows/test-artefacts
bash tests/windows/wine_installer.sh build-windows build-windows/test-artefacts
bash tests/windows/wine_utf8_session.sh build-windows/bin build-windows/test-artefacts
bash tests/windows/ofx_import.sh build-windows/bin
bash tests/windows/import_session.sh build-windows/bin build-windows/test-artefacts
