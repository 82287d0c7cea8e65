#!/usr/bin/env bash
# Builds the Debian package build-package/checkbook_<version>_<arch>.deb with
# CPack. Its dependencies come from dpkg-shlibdeps' scan of the binaries.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
bash scripts/setup.sh dpkg-dev file
build=build-package
# Only what the package holds is built; installing must not wait for the tests.
# The optimisation is the tested build's (-O2); the package strips the symbols.
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_INSTALL_PREFIX=/usr \
  -DCMAKE_SKIP_INSTALL_ALL_DEPENDENCY=ON >/dev/null
cmake --build "$build" -j "$(nproc)" --target checkbook checkbook-io REDivizud checkbook_man_page checkbook-io_man_page
rm -f "$build"/checkbook_*.deb
(cd "$build" && cpack -G DEB >/dev/null)
ls "$build"/checkbook_*.deb
