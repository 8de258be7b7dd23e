# Companion of frame_thread_id.sql: the log line written in the block carries
# the id that ibGetCurrentThreadId answered in that block.
# Arguments: <log-file> <workdir>.
log=$1

check() {  # check <condition-status> <description>
  if [[ $1 -eq 0 ]]; then echo "PASS $2"; else echo "FAIL $2"; fi
}

[[ -f $log ]]
check $? "the log file exists"
line=$(grep -a 'thread id ' "$log" | tr -d '\r')
[[ $(grep -ac 'thread id ' "$log") -eq 1 ]]
check $? "exactly one line carries the thread id"
logged_id=$(sed -n 's/^ThreadId=\([0-9]*\)\. .*/\1/p' <<<"$line")
message_id=$(sed -n 's/.* thread id \([0-9-]*\) Time=.*/\1/p' <<<"$line")
[[ -n $logged_id && $logged_id == "$message_id" ]]
check $? "ThreadId= of the line ($logged_id) equals ibGetCurrentThreadId of the block ($message_id)"
