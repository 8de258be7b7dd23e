# Companion of frame_log_writers.sql: several isql processes write into one
# log file at once; every line must land whole.
# Arguments: <log-file> <workdir>. Uses ORLIX_DB, ORLIX_BUILD_DIR, ORLIX_REPO
# and the private root (FIREBIRD) from the runner.
log=$1
workdir=$2
export LC_ALL=C
writers=4
lines_each=300
# shellcheck source=../../scripts/fbroot.sh
source "$ORLIX_REPO/scripts/fbroot.sh"

check() {  # check <condition-status> <description>
  if [[ $1 -eq 0 ]]; then echo "PASS $2"; else echo "FAIL $2"; fi
}

first_lines=$(grep -ac '' "$log" 2>/dev/null)
[[ $first_lines -eq $lines_each ]]
check $? "the first writer left $lines_each lines ($first_lines)"

# All writers wait for the same moment, a little after the slowest start-up,
# so that their writes overlap (the engine runs in Super mode, which opens a
# database for one process only: each writer has its own copy of it).
start=$(date -d '+3 seconds' '+%Y-%m-%d %H:%M:%S.%3N')
for k in $(seq 1 "$writers"); do
  cp "$ORLIX_DB" "$workdir/writer$k.fdb"
  cat >"$workdir/writer$k.sql" <<SQL
SET TERM ^ ;
EXECUTE BLOCK RETURNS (RESULT VARCHAR(4), CHECK_NAME VARCHAR(200)) AS
  DECLARE i INTEGER = 0;
  DECLARE written INTEGER = 0;
  DECLARE tid INTEGER;
  DECLARE pad_len INTEGER;
  DECLARE spin INTEGER;
BEGIN
  tid = ibGetCurrentThreadId(0);
  written = ibOrlixSetLog('$log') - 1;
  WHILE (CAST('NOW' AS TIMESTAMP) < CAST('$start' AS TIMESTAMP)) DO i = 0;
  WHILE (i < $lines_each) DO
  BEGIN
    -- A little work between lines, so that a writer outlives a time slice
    -- of the scheduler and the writers' lines interleave even on one CPU.
    spin = 0;
    WHILE (spin < 1000) DO spin = spin + 1;
    pad_len = MOD(i * 37 + $k * 101, 1500);
    written = written + ib_Log('writer=$k seq=' || i || ' tid=' || tid || ' len=' || pad_len || ' '
                               || RPAD('', pad_len, ASCII_CHAR(97 + MOD(i + $k, 26))) || '|');
    i = i + 1;
  END
  RESULT = IIF(written = $lines_each, 'PASS', 'FAIL');
  CHECK_NAME = 'writer $k: $lines_each calls of ib_Log return 1';
  SUSPEND;
END^
SET TERM ; ^
SQL
done
pids=()
for k in $(seq 1 "$writers"); do
  orlix_isql "$ORLIX_BUILD_DIR" -q -user SYSDBA "$workdir/writer$k.fdb" -i "$workdir/writer$k.sql" \
    >"$workdir/writer$k.out" 2>"$workdir/writer$k.err" </dev/null &
  pids+=($!)
done
for k in $(seq 1 "$writers"); do
  wait "${pids[k - 1]}"
  status=$?
  [[ $status -eq 0 && ! -s $workdir/writer$k.err ]] && awk '$1 == "PASS"' "$workdir/writer$k.out" | grep -q .
  check $? "writer process $k ran without error and its calls returned 1"
  sed "s/^/writer $k: /" "$workdir/writer$k.err" >&2
done

total=$((lines_each * (writers + 1)))
[[ $(grep -ac '' "$log") -eq $total ]]
check $? "the log holds all $total lines ($(grep -ac '' "$log"))"

# Every line whole: the layout, the padding of the announced length made of
# one letter, the closing bar, the thread id of the message in ThreadId=.
bad=$(awk '
  {
    if (!match($0, /^ThreadId=[1-9][0-9]*\. writer=[0-9]+ seq=[0-9]+ tid=[0-9]+ len=[0-9]+ [a-z]*\| Time=[0-2][0-9]:[0-5][0-9]:[0-5][0-9]\r$/)) { bad++; next }
    split($0, f, /[= .]+/)
    # f: ThreadId <id> writer <k> seq <i> tid <t> len <n> <pad>| Time ...
    if (f[2] != f[8]) { bad++; next }
    pad = f[11]; sub(/\|$/, "", pad)
    if (length(pad) != f[10]) { bad++; next }
    if (f[10] > 0 && pad !~ ("^" substr(pad, 1, 1) "+$")) { bad++; next }
    seen[f[4] " " f[6]]++
  }
  END {
    for (key in seen) if (seen[key] != 1) bad++
    print bad + 0
  }' "$log")
[[ $bad -eq 0 ]]
check $? "every line is whole and well formed, its ThreadId= matching its writer's id ($bad bad)"

distinct=$(awk '{ split($0, f, /[= .]+/); seen[f[4] " " f[6]] = 1 } END { print length(seen) }' "$log")
[[ $distinct -eq $total ]]
check $? "each (writer, seq) appears exactly once ($distinct distinct)"

# The writers overlapped: their lines interleave in the file.
switches=$(awk -v first="$lines_each" 'NR > first { split($0, f, /[= .]+/); if (NR > first + 1 && f[4] != last) n++; last = f[4] } END { print n + 0 }' "$log")
[[ $switches -ge $writers ]]
check $? "the writers' lines interleave ($switches changes of writer)"
