# Companion of values_log.sql: the log's message parts, line by line, decoded
# from Windows-1251.
# Arguments: <log-file> <workdir>.
log=$1
export LC_ALL=C.UTF-8

check() {  # check <condition-status> <description>
  if [[ $1 -eq 0 ]]; then echo "PASS $2"; else echo "FAIL $2"; fi
}

warn='внимание - неверный тип в '
expected=(
  "TListStr.Create"
  ""
  "ListStr: count=1"
  ""
  "  замена"
  "TListStr.Destroy"
  "TListInt.Create"
  "${warn}ibListStrCount"
  "${warn}ibListStrAdd"
  ""
  "ListInt: count=2"
  "1"
  "2"
  ""
  "TListDouble.Create"
  ""
  "ListDouble: count=4"
  "2.5"
  "0.3"
  "0.333333333333333"
  "-1e+20"
  ""
  "${warn}ibListDoubleGetItemByIndex"
  "${warn}ibListIntByName"
  "${warn}ibListStrFree"
  "TListInt.Destroy"
  "${warn}ibListIntFree"
  "TListDouble.Destroy"
  "${warn}ibListDoubleCount"
)

[[ -s $log ]]
check $? "the log file was written"

# Message part of each line: between "ThreadId=<id>. " and " Time=hh:mm:ss".
mapfile -t actual < <(iconv -f cp1251 -t UTF-8 "$log" | tr -d '\r' |
  sed -E 's/^ThreadId=[0-9]+\. //; s/ Time=[0-9]{1,2}:[0-9]{2}:[0-9]{2}$//')

[[ ${#actual[@]} -eq ${#expected[@]} ]]
check $? "the log holds ${#expected[@]} lines (found ${#actual[@]})"
for n in "${!expected[@]}"; do
  [[ "${actual[n]-<missing>}" == "${expected[n]}" ]]
  check $? "line $((n + 1)) is '${expected[n]}' (found '${actual[n]-<missing>}')"
done

# Warnings and Print lines carry no error part.
! grep -aq 'ErrCode=' "$log"
check $? "no line of this road carries the error part"
