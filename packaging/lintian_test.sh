#!/usr/bin/env bash
# Builds the Debian package into a scratch folder and has lintian check it: no error and no
# warning. Exits 77, which CTest counts as skipped, where lintian is not installed.
set -euo pipefail
cpack=${1:?usage: lintian_test.sh CPACK CPackConfig.cmake}
config=$2
if ! command -v lintian >/dev/null; then
  echo "SKIP   : packaging.lintian: lintian is not installed (scripts/bootstrap installs it)"
  exit 77
fi
tmp=$(mktemp -d); trap 'rm -rf "$tmp"' EXIT
if ! "$cpack" --config "$config" -G DEB -B "$tmp/out" >"$tmp/cpack.log" 2>&1; then
  cat "$tmp/cpack.log"; exit 1
fi
# Root is warned against but checks the same; the tags are what count.
lintian --fail-on error,warning --tag-display-limit 0 "$tmp"/out/*.deb 2> >(grep -v 'root privileges' >&2)
echo "lintian ok"
