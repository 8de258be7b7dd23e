#!/usr/bin/env bash
# Runs one SQL test of ORLIX.so through a real embedded Firebird 3 engine.
#
#   tests/sql/run_sql_test.sh <build-dir> <test.sql> [<charset>]
#
# <build-dir> holds ORLIX.so. The test gets a private Firebird root
# (<build-dir>/fbroot, shared by all tests of that build, see scripts/fbroot.sh)
# and a fresh work folder <build-dir>/sqltests/<name>-<charset>/ with a new
# database of default character set <charset> (WIN1251 when not given; every
# test runs in a UTF8 database too) into which sql/orlix.sql has been run.
#
# The test file (UTF-8) is run with isql-fb after these substitutions:
#   @LOG@      a log file name in the work folder; the file does not exist yet
#   @WORKDIR@  the work folder
#   @CHARSET@  the database's default character set
# Every result row whose first column is exactly PASS or FAIL is one check,
# typically from
#   EXECUTE BLOCK RETURNS (RESULT VARCHAR(4), CHECK_NAME VARCHAR(200)) AS
#   BEGIN ... RESULT = IIF(cond, 'PASS', 'FAIL'); CHECK_NAME = '...'; SUSPEND; END^
# (isql's table layout; SET LIST ON would hide the first column.)
# Then the optional companion tests/sql/<name>.check.sh is run as
#   bash <name>.check.sh <log-file> <workdir>
# and every line of its output starting with PASS or FAIL is one check too.
# It finds in its environment: FIREBIRD and FIREBIRD_LOCK (the private root),
# ORLIX_BUILD_DIR, ORLIX_REPO, ORLIX_DB (the test database, closed by then),
# ORLIX_CHARSET;
# to run isql-fb itself it sources "$ORLIX_REPO/scripts/fbroot.sh" and calls
# orlix_isql "$ORLIX_BUILD_DIR" <isql arguments>.
#
# The test fails on any FAIL, on zero PASS, on any isql error (anything on
# stderr, "Statement failed", an SQLSTATE, a non-zero exit status) and on any
# sanitizer report. Prints every FAIL row and error, then one summary line
# "<name>: N passed, M failed".
set -uo pipefail

if [[ $# -lt 2 || $# -gt 3 ]]; then
  echo "usage: $0 <build-dir> <test.sql> [<charset>]" >&2
  exit 2
fi

repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd -P)
build_dir=$(cd "$1" 2>/dev/null && pwd -P) || { echo "no build folder: $1" >&2; exit 2; }
test_sql=$(cd "$(dirname "$2")" 2>/dev/null && pwd -P)/$(basename "$2")
[[ -f $test_sql ]] || { echo "no test file: $2" >&2; exit 2; }
name=$(basename "$test_sql" .sql)
charset=${3:-WIN1251}
[[ $charset =~ ^[A-Z0-9_]+$ ]] || { echo "bad character set name: $charset" >&2; exit 2; }
check_script=$(dirname "$test_sql")/$name.check.sh
# Seconds one isql-fb run may take before it counts as hung.
timeout_s=${ORLIX_SQL_TIMEOUT:-900}

# shellcheck source=../../scripts/fbroot.sh
source "$repo/scripts/fbroot.sh"

summary() {  # summary <passed> <failed>
  echo "$name ($charset): $1 passed, $2 failed"
}

if [[ ! -f $build_dir/ORLIX.so ]]; then
  echo "ERROR: $build_dir/ORLIX.so is missing (build first)"
  summary 0 0
  exit 1
fi
if ! command -v isql-fb >/dev/null; then
  echo "ERROR: isql-fb is missing (run scripts/setup.sh)"
  summary 0 0
  exit 1
fi

orlix_fbroot_create "$build_dir/fbroot" "$build_dir" || { echo "ERROR: cannot build the Firebird root"; summary 0 0; exit 1; }
orlix_fbroot_env "$build_dir/fbroot" || exit 1

workdir=$build_dir/sqltests/$name-$(printf '%s' "$charset" | tr '[:upper:]' '[:lower:]')
rm -rf "$workdir"
mkdir -p "$workdir" || exit 1
cd "$workdir" || exit 1
db=$workdir/test.fdb
log=$workdir/orlix.log

errors=0
# Copies standard input with a prefix on each line (the prefix may hold any
# character, a path's slashes included).
prefix_lines() { awk -v prefix="$1" '{ print prefix $0 }'; }

# Reports the errors of one isql-fb run: its stderr, error text on stdout,
# its exit status. run_isql <step> <output-prefix> <isql arguments...>
run_isql() {
  local step=$1 out=$2
  shift 2
  timeout "$timeout_s" bash -c 'source "$1/scripts/fbroot.sh"; shift; orlix_isql "$@"' \
    _ "$repo" "$build_dir" "$@" >"$out.out" 2>"$out.err" </dev/null
  local rc=$?
  local bad=0
  if [[ -s $out.err ]]; then
    bad=1
    prefix_lines "ERROR ($step): " <"$out.err"
  fi
  if grep -Eq 'Statement failed|SQLSTATE|Dynamic SQL Error|AddressSanitizer|runtime error:' "$out.out"; then
    bad=1
    grep -E 'Statement failed|SQLSTATE|Dynamic SQL Error|AddressSanitizer|runtime error:' "$out.out" |
      prefix_lines "ERROR ($step): "
  fi
  if [[ $rc -eq 124 ]]; then
    bad=1
    echo "ERROR ($step): isql-fb did not finish within $timeout_s s"
  elif [[ $rc -ne 0 ]]; then
    bad=1
    echo "ERROR ($step): isql-fb exit status $rc"
  fi
  if grep -Eq 'AddressSanitizer|LeakSanitizer|UndefinedBehaviorSanitizer|runtime error:' "$out.err" "$out.out"; then
    echo "ERROR ($step): sanitizer report (see $out.err)"
  fi
  return $bad
}

sed_escape() { printf '%s' "$1" | sed -e 's/[\\|&]/\\&/g'; }

printf "CREATE DATABASE '%s' USER 'SYSDBA' DEFAULT CHARACTER SET %s;\n" "$db" "$charset" >create.sql
if ! run_isql "create database" create -q -i create.sql; then
  summary 0 0
  exit 1
fi
if ! run_isql "sql/orlix.sql" declare -q -user SYSDBA "$db" -i "$repo/sql/orlix.sql"; then
  summary 0 0
  exit 1
fi

sed -e "s|@LOG@|$(sed_escape "$log")|g" -e "s|@WORKDIR@|$(sed_escape "$workdir")|g" -e "s|@CHARSET@|$charset|g" \
  "$test_sql" >"$workdir/$name.sql"
run_isql "$name.sql" test -q -ch UTF8 -user SYSDBA "$db" -i "$workdir/$name.sql" || errors=1

# Check rows: first column exactly PASS or FAIL.
passed=$(awk '$1 == "PASS"' test.out | wc -l)
failed=$(awk '$1 == "FAIL"' test.out | wc -l)
awk '$1 == "FAIL" { sub(/[ \t]+$/, ""); print }' test.out

if [[ -f $check_script ]]; then
  ORLIX_BUILD_DIR=$build_dir ORLIX_REPO=$repo ORLIX_DB=$db ORLIX_CHARSET=$charset \
    timeout "$timeout_s" bash "$check_script" "$log" "$workdir" >check.out 2>check.err </dev/null
  rc=$?
  passed=$((passed + $(awk '$1 == "PASS"' check.out | wc -l)))
  failed=$((failed + $(awk '$1 == "FAIL"' check.out | wc -l)))
  awk '$1 == "FAIL"' check.out
  if [[ -s check.err ]]; then
    errors=1
    sed "s/^/ERROR ($name.check.sh): /" check.err
  fi
  if [[ $rc -ne 0 ]]; then
    errors=1
    echo "ERROR ($name.check.sh): exit status $rc"
  fi
fi

if [[ $passed -eq 0 ]]; then
  echo "ERROR: no PASS row at all"
  errors=1
fi
summary "$passed" "$failed"
[[ $failed -eq 0 && $errors -eq 0 ]]
