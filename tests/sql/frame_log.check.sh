# Companion of frame_log.sql: the log files byte for byte.
# Arguments: <log-file> <workdir>.
log=$1
workdir=$2
export LC_ALL=C

check() {  # check <condition-status> <description>
  if [[ $1 -eq 0 ]]; then echo "PASS $2"; else echo "FAIL $2"; fi
}
# The bytes of line <n> of the log (with its CR, without its LF).
line() { sed -n "$1p" "$log"; }
# Matches line <n> against an extended regular expression (C locale, bytes).
line_is() { line "$1" | grep -aqE "$2"; }

time_re='[0-2][0-9]:[0-5][0-9]:[0-5][0-9]'
head_re='^ThreadId=[1-9][0-9]*\. '

[[ -f $log ]]
check $? "the first line created the log file"

# Expected lines, in order (steps 2, 3, 4 of the SQL file).
[[ $(grep -ac '' "$log") -eq 7 ]]
check $? "the log holds exactly 7 lines ($(grep -ac '' "$log"))"
line_is 1 "${head_re}alpha Time=${time_re}"$'\r$'
check $? "ib_Log line: ThreadId=<id>. alpha Time=hh:mm:ss CR LF"
line_is 2 "${head_re}beta Time=${time_re}"$'\r$'
check $? "ibOrlixLog line: ThreadId=<id>. beta Time=hh:mm:ss CR LF"
line_is 3 "${head_re} Time=${time_re}"$'\r$'
check $? "empty message: two blanks between the full stop and Time"
# The same byte for byte with od: ". " + "" + " Time=".
line 3 | od -An -tx1 | tr -d ' \n' | grep -q '2e202054696d653d'
check $? "empty message bytes (od): 2e 20 20 54 69 6d 65 3d"

cyrillic=$(printf 'Проверка журнала: ёЁ №' | iconv -f UTF-8 -t CP1251)
line 4 | grep -aqF "ThreadId=" && [[ $(line 4 | sed -E "s/${head_re}//; s/ Time=${time_re}"$'\r$'"//") == "$cyrillic" ]]
check $? "a Cyrillic message lands as its Windows-1251 bytes"
line 4 | od -An -tx1 | tr -d ' \n' | grep -q 'cff0eee2e5f0eae020e6f3f0ede0ebe03a20b8a820b9'
check $? "Cyrillic bytes (od): cf f0 ee e2 e5 f0 ea e0 20 ... 3a 20 b8 a8 20 b9"

line_is 5 "${head_re}long x{10000} end Time=${time_re}"$'\r$'
check $? "a 10009-byte message lands whole on one line"
line_is 6 "${head_re}back on Time=${time_re}"$'\r$'
check $? "after switching off and on: the line is appended after the earlier ones"
line_is 7 "${head_re}after directory Time=${time_re}"$'\r$'
check $? "after a directory name: the log works again"

# Every line ends with CR LF, the file too.
[[ $(tr -cd '\n' <"$log" | wc -c) -eq $(grep -ac $'\r$' "$log") ]] && [[ $(tail -c 2 "$log" | od -An -tx1 | tr -d ' \n') == 0d0a ]]
check $? "every line ends with CR LF"

# All lines of one statement carry the same thread id.
[[ $(sed -n '1,5p' "$log" | sed -E 's/^ThreadId=([0-9]+)\..*/\1/' | sort -u | wc -l) -eq 1 ]]
check $? "lines of one block carry one thread id"

# The logged time is the local time of day, within a few minutes of now.
logged=$(line 7 | sed -E "s/.* Time=(${time_re})"$'\r$/\\1/')
if [[ $logged =~ ^[0-2][0-9]:[0-5][0-9]:[0-5][0-9]$ ]]; then
  diff=$(( ($(date +%s) - $(date -d "today $logged" +%s) + 86400) % 86400 ))
  [[ $diff -le 300 ]]
  check $? "Time= is the local time of day ($logged)"
else
  check 1 "Time= is the local time of day (got '$logged')"
fi

# Messages sent while the log was off or unwritable reached no file.
! grep -raq 'never-written' "$workdir"
check $? "nothing written while the log was off, switched off, a directory or in a missing folder"
[[ ! -e $workdir/no-such-folder ]]
check $? "a missing folder is not created"

# Step 5: the name exactly as passed, the message exactly as passed.
[[ -f "$workdir/blank.log " && ! -e "$workdir/blank.log" ]]
check $? "a trailing blank stays part of the log file name"
grep -aqE "${head_re}blank Time=${time_re}"$'\r$' "$workdir/blank.log "
check $? "the line reaches the file whose name ends with a blank"
body=$(sed -E "1s/${head_re}//" "$workdir/breaks.log" | od -An -c | tr -s ' \n' ' ')
[[ $body =~ ^\ f\ i\ r\ s\ t\ \\n\ s\ e\ c\ o\ n\ d\ \\r\ \\n\ t\ h\ i\ r\ d\ T\ i\ m\ e\ =\ [0-9]\ [0-9]\ :\ [0-9]\ [0-9]\ :\ [0-9]\ [0-9]\ \\r\ \\n\ $ ]]
check $? "line breaks inside a message are written as passed, then one CR LF"
