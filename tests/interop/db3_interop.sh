#!/usr/bin/env bash
# Reads a dBase III file exported by a run with other programs' readers:
# GDAL's ogrinfo, Debian's python3-dbfread and the npm package dbffile. The
# first two come from scripts/setup; dbffile is installed here into a
# temporary folder when npm is present, and its test is skipped otherwise.
# Usage: tests/interop/db3_interop.sh [BUILD_DIR]   (default: build)
set -euo pipefail
cd "$(dirname "$0")/../.."
build=${1:-build}
[ -x "$build/tests/dbf_tests" ] || { echo "build the tests first: scripts/build $build" >&2; exit 2; }
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
if command -v npm >/dev/null 2>&1 && command -v node >/dev/null 2>&1; then
  if npm install --silent --no-audit --no-fund --prefix "$tmp" dbffile@1.13.0 >/dev/null 2>&1; then
    export KV_DBFFILE_DIR=$tmp
  else
    echo "db3_interop: npm could not install dbffile; its test is skipped" >&2
  fi
else
  echo "db3_interop: npm not found; the dbffile test is skipped" >&2
fi
"$build/tests/dbf_tests" --gtest_filter='Db3InteropTest.*'
