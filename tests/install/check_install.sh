#!/usr/bin/env bash
# Installs the build into a staging folder, as a package would, and checks
# that the desktop sees a well-formed program: a valid desktop entry and
# metainfo, the icon in every size, the man pages, and in quorvel-cli's page
# a section for each command the tool lists. Where lintian is installed, the
# same install packed as a Debian package must pass it without an error or a
# warning.
# Usage: check_install.sh BUILD_DIR
set -euo pipefail
build=$1
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
DESTDIR="$stage" cmake --install "$build" --prefix /usr >/dev/null
share=$stage/usr/share
fail=0
for f in usr/bin/quorvel usr/bin/quorvel-rtf usr/bin/quorvel-cli \
         usr/share/applications/com.ostwick.Quorvel.desktop \
         usr/share/metainfo/com.ostwick.Quorvel.metainfo.xml \
         usr/share/icons/hicolor/scalable/apps/quorvel.svg \
         usr/share/man/man1/quorvel.1.gz usr/share/man/man1/quorvel-rtf.1.gz usr/share/man/man1/quorvel-cli.1.gz \
         usr/share/doc/quorvel/copyright usr/share/doc/quorvel/changelog.Debian.gz; do
  [ -s "$stage/$f" ] || { echo "not installed: /$f"; fail=1; }
done
for size in 16 22 24 32 48 64 128 256; do
  png=$share/icons/hicolor/${size}x${size}/apps/quorvel.png
  if ! file "$png" | grep -q "PNG image data, $size x $size"; then
    echo "no ${size}x${size} icon: $(file "$png")"; fail=1
  fi
done
desktop-file-validate "$share/applications/com.ostwick.Quorvel.desktop" || fail=1
appstreamcli validate --no-net --explain "$share/metainfo/com.ostwick.Quorvel.metainfo.xml" || fail=1
# The entry names the installed executable and icon.
grep -qx 'Exec=quorvel' "$share/applications/com.ostwick.Quorvel.desktop" || { echo "Exec is not quorvel"; fail=1; }
grep -qx 'Icon=quorvel' "$share/applications/com.ostwick.Quorvel.desktop" || { echo "Icon is not quorvel"; fail=1; }
for page in quorvel quorvel-rtf quorvel-cli; do
  out=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$share/man/man1/$page.1.gz" 2>&1 >/dev/null) \
    || out="cannot be read${out:+: $out}"
  [ -z "$out" ] || { echo "man page $page: $out"; fail=1; }
done
commands=$("$stage/usr/bin/quorvel-cli" help | sed -n 's/^  \([a-z][a-z]*\).*/\1/p' | grep -vx help)
[ -n "$commands" ] || { echo "quorvel-cli help lists no commands"; fail=1; }
for command in $commands; do
  zgrep -qx ".SH ${command^^}" "$share/man/man1/quorvel-cli.1.gz" || { echo "man page quorvel-cli: no section $command"; fail=1; }
done
if command -v lintian >/dev/null; then
  cpack --config "$build/CPackConfig.cmake" -G DEB -B "$stage/deb" >"$stage/cpack.log" 2>&1 \
    || { cat "$stage/cpack.log"; echo "the Debian package was not made"; exit 1; }
  # Info tags are advice; an error or a warning is a fault of the package,
  # and so is a binary built without Debian's hardening, which this lintian
  # reports as info only.
  report=$(lintian --fail-on error,warning --display-info "$stage"/deb/quorvel_*.deb) || fail=1
  [ -z "$report" ] || echo "$report"
  # A Debug build (the coverage build) goes without fortify by design; the
  # rest of the hardening it keeps.
  allowed='^$'
  grep -qx 'CMAKE_BUILD_TYPE:STRING=Debug' "$build/CMakeCache.txt" && allowed='hardening-no-fortify-functions'
  if grep '^I: [^ ]*: hardening-' <<<"$report" | grep -qv "$allowed"; then fail=1; fi
  [ $fail -eq 0 ] || echo "lintian finds faults in the package"
else
  echo "lintian is not installed: the Debian package is not checked"
fi
exit $fail
