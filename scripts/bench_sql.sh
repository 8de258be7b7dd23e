#!/usr/bin/env bash
# Where a procedure's time goes, measured in a real embedded Firebird 3
# engine: the same aggregation through a memory table and through a global
# temporary table, and the cost of one trivial call, each with the packaged
# configuration and with "BugcheckAbort = 1". Run by hand (never by
# scripts/test.sh); it takes a few minutes.
#
#   scripts/bench_sql.sh [build-dir] [rows]      defaults: build, 1000000
#   ORLIX_BENCH_RUNS=1           runs per road (default 3)
#   ORLIX_BENCH_CONFIGS=abort    only the "BugcheckAbort = 1" configuration
#                                (the packaged one costs minutes at 1,000,000
#                                rows on a busy machine)
#
# Roads, each one EXECUTE BLOCK, timed by isql's own statistics (the
# statement only, not isql's start), median of 3 runs:
#   memtable   rows folded into rows/10 int keys through a memory table (4
#              calls a row, in one statement), then a walk over the groups
#              reading both fields
#   gtt        the same rows inserted into a global temporary table, then
#              a GROUP BY walked the same way
#   call       ibListIntCount called once a loop step
#   loop       the same loop without the call (what the call is measured
#              against)
# Both configurations use one database; each has its own private Firebird
# root (scripts/fbroot.sh) under <build-dir>/bench-sql, and nothing under
# /etc changes. Prints one table in the README's form.
set -euo pipefail
repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd -P)
build_dir=$(cd "${1:-$repo/build}" && pwd -P)
rows=${2:-1000000}
groups=$((rows / 10))
runs=${ORLIX_BENCH_RUNS:-3}
configs=${ORLIX_BENCH_CONFIGS:-default abort}

[[ -f $build_dir/ORLIX.so ]] || { echo "no $build_dir/ORLIX.so: build first" >&2; exit 1; }
# shellcheck source=fbroot.sh
source "$repo/scripts/fbroot.sh"

work=$build_dir/bench-sql
mkdir -p "$work"
db=$work/bench.fdb
root_default=$work/root-default
root_abort=$work/root-bugcheck-abort
orlix_fbroot_create "$root_default" "$build_dir"
orlix_fbroot_create "$root_abort" "$build_dir" "BugcheckAbort = 1"

isql_in() {  # isql_in <root> <isql arguments...>
  local root=$1
  shift
  (orlix_fbroot_env "$root" && orlix_isql "$build_dir" "$@")
}

rm -f "$db"
printf "CREATE DATABASE '%s' USER 'SYSDBA' DEFAULT CHARACTER SET WIN1251;\n" "$db" | isql_in "$root_default" -q -b
isql_in "$root_default" -q -b -user SYSDBA "$db" -i "$repo/sql/orlix.sql"
isql_in "$root_default" -q -b -user SYSDBA "$db" <<'SQL'
CREATE GLOBAL TEMPORARY TABLE bench_rows (k INTEGER, q DOUBLE PRECISION) ON COMMIT DELETE ROWS;
COMMIT;
SQL

# Keys: a scattered walk over the groups, each hit rows/groups times.
road_sql() {
  case $1 in
    memtable)
      cat <<SQL
EXECUTE BLOCK RETURNS (N INTEGER, S DOUBLE PRECISION) AS
  DECLARE i INTEGER = 0; DECLARE h INTEGER; DECLARE r INTEGER;
BEGIN
  h = ibMemTableCreate('bench');
  r = ibMemTableAddField(h, 'k', 'int', 1, 'miss');
  r = ibMemTableAddField(h, 'q', 'double', 0, 'sum');
  -- The four calls of a row in one statement, evaluated left to right.
  WHILE (i < $rows) DO BEGIN
    r = ibMemTableRowClear(h) + ibMemTableRowFieldSetInt(h, 0, MOD(i * 7919, $groups))
        + ibMemTableRowFieldSetDouble(h, 1, MOD(i, 100) / 10.0) + ibMemTableInsert(h);
    i = i + 1;
  END
  N = 0; S = 0;
  r = ibMemTableFirst(h);
  WHILE (ibMemTableEOF(h) = 0) DO BEGIN
    N = N + 1; S = S + ibMemTableFieldGetInt(h, 0) + ibMemTableFieldGetDouble(h, 1);
    r = ibMemTableNext(h);
  END
  r = ibMemTableFree(h);
  SUSPEND;
END^
SQL
      ;;
    gtt)
      cat <<SQL
EXECUTE BLOCK RETURNS (N INTEGER, S DOUBLE PRECISION) AS
  DECLARE i INTEGER = 0; DECLARE k INTEGER; DECLARE q DOUBLE PRECISION;
BEGIN
  WHILE (i < $rows) DO BEGIN
    INSERT INTO bench_rows (k, q) VALUES (MOD(:i * 7919, $groups), MOD(:i, 100) / 10.0);
    i = i + 1;
  END
  N = 0; S = 0;
  FOR SELECT k, SUM(q) FROM bench_rows GROUP BY k INTO :k, :q DO BEGIN
    N = N + 1; S = S + k + q;
  END
  SUSPEND;
END^
SQL
      ;;
    call)
      cat <<SQL
EXECUTE BLOCK RETURNS (N INTEGER, S DOUBLE PRECISION) AS
  DECLARE i INTEGER = 0; DECLARE h INTEGER; DECLARE r INTEGER;
BEGIN
  h = ibListIntCreate('bench');
  N = 0; S = 0;
  WHILE (i < $rows) DO BEGIN
    N = N + ibListIntCount(h);
    i = i + 1;
  END
  r = ibListIntFree(h);
  SUSPEND;
END^
SQL
      ;;
    loop)
      cat <<SQL
EXECUTE BLOCK RETURNS (N INTEGER, S DOUBLE PRECISION) AS
  DECLARE i INTEGER = 0;
BEGIN
  N = 0; S = 0;
  WHILE (i < $rows) DO BEGIN
    N = N + MOD(i, 1);
    i = i + 1;
  END
  SUSPEND;
END^
SQL
      ;;
  esac
}

# Runs the road in the root's configuration; prints "<milliseconds> <N> <S>":
# the statement's time by isql's statistics and the block's answer.
time_road() {  # time_road <root> <road>
  local out
  out=$({
    printf 'SET TERM ^ ;\nSET LIST ON^\nSET STATS ON^\n'
    road_sql "$2"
    printf 'COMMIT^\n'
  } | isql_in "$1" -q -b -user SYSDBA "$db" 2>&1) || { echo "$out" >&2; return 1; }
  # The first "Elapsed time" is the EXECUTE BLOCK's.
  awk '/^N / { n = $2 } /^S / { s = $2 }
       /Elapsed time/ && !done { sub(/.*Elapsed time *= */, ""); ms = int($1 * 1000); done = 1 }
       END { print ms, n, s }' <<<"$out"
}

median() { printf '%s\n' "$@" | sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }

declare -A result answer
for run in $(seq 1 "$runs"); do
  for config in $configs; do
    root=$root_default
    [[ $config == abort ]] && root=$root_abort
    for road in memtable gtt call loop; do
      read -r ms n sum < <(time_road "$root" "$road")
      result[$config.$road]="${result[$config.$road]:-} $ms"
      echo "run $run  $config  $road  $ms ms  (N=$n S=$sum)" >&2
      case $road in memtable | gtt) answer[$road]="$n $sum" ;; esac
    done
    # Both roads must have computed the same groups and sums.
    if [[ ${answer[memtable]} != "${answer[gtt]}" ]]; then
      echo "the roads disagree: memory table ${answer[memtable]}, temporary table ${answer[gtt]}" >&2
      exit 1
    fi
  done
done

per_call_us() {  # per_call_us <call ms> <loop ms>
  awk -v c="$1" -v l="$2" -v n="$rows" 'BEGIN { printf "%.2f", (c - l) * 1000 / n }'
}
echo
echo "| configuration | memory table | temporary table | ibListIntCount loop | plain loop | per call |"
echo "|---|---|---|---|---|---|"
for config in $configs; do
  label="default"
  [[ $config == abort ]] && label='`BugcheckAbort = 1`'
  declare -a m
  for road in memtable gtt call loop; do
    # shellcheck disable=SC2086
    m+=("$(median ${result[$config.$road]})")
  done
  echo "| $label | ${m[0]} ms | ${m[1]} ms | ${m[2]} ms | ${m[3]} ms | $(per_call_us "${m[2]}" "${m[3]}") µs |"
  unset m
done
echo
echo "($rows rows into $groups keys; medians of $runs runs; $(nproc) cores, load average $(cut -d' ' -f1-3 /proc/loadavg))"
