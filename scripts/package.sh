#!/usr/bin/env bash
# Builds the Debian package build-package/checkbook_<version>_<arch>.deb with
# CPack. Its dependencies come from dpkg-shlibdeps' scan of the binaries.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
bash scripts/setup.sh dpkg-dev file
build=build-package
# The flags Debian builds its packages with (hardening: fortified functions,
# read-only relocations bound at start), on top of the tested build's -O2.
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
cppflags=$(dpkg-buildflags --get CPPFLAGS)
ldflags=$(dpkg-buildflags --get LDFLAGS)
# Only what the package holds is built; installing must not wait for the tests.
# The package strips the symbols.
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_INSTALL_PREFIX=/usr \
  -DCMAKE_SKIP_INSTALL_ALL_DEPENDENCY=ON \
  -DCMAKE_C_FLAGS="$(dpkg-buildflags --get CFLAGS) $cppflags" \
  -DCMAKE_CXX_FLAGS="$(dpkg-buildflags --get CXXFLAGS) $cppflags" \
  -DCMAKE_EXE_LINKER_FLAGS="$ldflags" -DCMAKE_SHARED_LINKER_FLAGS="$ldflags" -DCMAKE_MODULE_LINKER_FLAGS="$ldflags" \
  >/dev/null
cmake --build "$build" -j "$(nproc)" --target checkbook checkbook-io REDivizud checkbook_gtk checkbook_man_page checkbook-io_man_page \
  checkbook_changelog
rm -f "$build"/checkbook_*.deb
(cd "$build" && cpack -G DEB >/dev/null)
deb=$(ls "$build"/checkbook_*.deb)
# CPack adds maintainer scripts that run ldconfig for any shared object under
# /usr/lib. The engine there is loaded by its path, never through the linker's
# cache, so the package goes without them.
unpacked=$(mktemp -d)
trap 'rm -rf "$unpacked"' EXIT
dpkg-deb -R "$deb" "$unpacked/root"
rm -f "$unpacked/root/DEBIAN/postinst" "$unpacked/root/DEBIAN/postrm"
dpkg-deb --root-owner-group -Zxz --build "$unpacked/root" "$deb" >/dev/null
echo "$deb"
