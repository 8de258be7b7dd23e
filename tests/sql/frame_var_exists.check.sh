# Companion of frame_var_exists.sql: calls that do not fail leave no line.
# Arguments: <log-file> <workdir>.
log=$1
if [[ ! -s $log ]]; then
  echo "PASS ibVarExists writes no log line when it does not fail"
else
  echo "FAIL ibVarExists writes no log line when it does not fail (found $(grep -ac '' "$log") lines)"
fi
