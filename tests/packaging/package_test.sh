#!/usr/bin/env bash
# Makes the .deb of a build tree by its target, as scripts/package does, has
# Debian's lintian check it (any error or warning fails), unpacks it into a
# scratch root and runs the console program from there.
#   package_test.sh BUILD_DIR VERSION
set -euo pipefail
build=$1 version=$2
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
cmake --build "$build" --target package >"$scratch/package.log" 2>&1 || { cat "$scratch/package.log"; exit 1; }
deb=$build/packages/iitcalc_${version}_$(dpkg --print-architecture).deb
[[ -f $deb ]] || { echo "no $deb: $(ls "$build/packages")"; exit 1; }
dpkg-deb --info "$deb" | grep -E 'Package|Depends'
command -v lintian >/dev/null || { echo "lintian is missing (scripts/setup test installs it)"; exit 1; }
# Lintian's notes on its own running as root are no finding.
lintian --fail-on error,warning "$deb" 2> >(grep -v 'running with root privileges' >&2) ||
  { echo "lintian finds errors or warnings in the package"; exit 1; }
dpkg -x "$deb" "$scratch/root"
for file in usr/bin/iitcalc usr/bin/iitcalc-cli usr/share/man/man1/iitcalc-cli.1.gz usr/share/man/man1/iitcalc.1.gz \
            usr/share/doc/iitcalc/copyright usr/share/doc/iitcalc/changelog.gz \
            usr/share/applications/iitcalc.desktop usr/share/icons/hicolor/scalable/apps/iitcalc.svg \
            usr/share/metainfo/com.example.iitcalc.metainfo.xml; do
  [[ -e "$scratch/root/$file" ]] || { echo "missing from the package: $file"; exit 1; }
done
dpkg-deb --field "$deb" Depends | grep -q 'libqt6widgets6' || { echo "no Qt runtime dependency"; exit 1; }
output=$("$scratch/root/usr/bin/iitcalc-cli" 10000 1000)
expected=$'税基\t5500\n应缴税额\t545'
[[ "$output" == "$expected" ]] || { echo "unexpected output: $output"; exit 1; }
echo "package ok"
