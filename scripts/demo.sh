#!/usr/bin/env bash
# A short tour of ORLIX in a real (embedded) Firebird 3 engine: sets the
# machine up if needed, builds ORLIX.so, creates a scratch database in a
# temporary folder, declares the functions (sql/orlix.sql), runs the
# walkthrough scripts/demo.sql and prints its answers, then the diagnostic
# log it wrote (Windows-1251, shown through iconv).
#
#   scripts/demo.sh            the temporary folder is removed at the end
#   ORLIX_DEMO_KEEP=1 scripts/demo.sh    keeps it (database and log)
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
repo=$PWD

scripts/setup.sh
build_dir=$repo/build
if [[ ! -f $build_dir/CMakeCache.txt ]]; then
  cmake -S . -B "$build_dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
fi
cmake --build "$build_dir" --target ORLIX -j "$(nproc 2>/dev/null || echo 2)" >/dev/null

# shellcheck source=fbroot.sh
source "$repo/scripts/fbroot.sh"
scratch=$(mktemp -d "${TMPDIR:-/tmp}/orlix-demo.XXXXXX")
if [[ ${ORLIX_DEMO_KEEP:-0} == 0 ]]; then
  trap 'rm -rf "$scratch"' EXIT
fi
orlix_fbroot_create "$scratch/fbroot" "$build_dir"
orlix_fbroot_env "$scratch/fbroot"

db=$scratch/demo.fdb
log=$scratch/orlix.log
isql() { orlix_isql "$build_dir" "$@"; }

echo "== Scratch database $db"
printf "CREATE DATABASE '%s' USER 'SYSDBA' DEFAULT CHARACTER SET WIN1251;\n" "$db" |
  isql -q -b
isql -q -b -user SYSDBA "$db" -i "$repo/sql/orlix.sql"
echo "== Declared $(grep -c '^DECLARE EXTERNAL FUNCTION' "$repo/sql/orlix.sql") functions from sql/orlix.sql"

echo "== Walkthrough (scripts/demo.sql)"
sed "s|@LOG@|$(printf '%s' "$log" | sed 's/[\\|&]/\\&/g')|g" "$repo/scripts/demo.sql" >"$scratch/demo.sql"
isql -q -b -ch UTF8 -user SYSDBA "$db" -i "$scratch/demo.sql"

echo "== Diagnostic log $log (Windows-1251, shown as UTF-8)"
if [[ -f $log ]]; then
  iconv -f cp1251 -t UTF-8 "$log" | tr -d '\r'
else
  echo "(no log file was written)"
fi
if [[ ${ORLIX_DEMO_KEEP:-0} != 0 ]]; then
  echo "== Kept $scratch"
fi
