# Companion of calcpart_warehouse.sql: the road leaves exactly the engine's
# life and the refused second engine in the log.
# Arguments: <log-file> <workdir>.
log=$1
export LC_ALL=C.UTF-8

check() {  # check <condition-status> <description>
  if [[ $1 -eq 0 ]]; then echo "PASS $2"; else echo "FAIL $2"; fi
}

messages=$(iconv -f cp1251 -t utf-8 "$log" | tr -d '\r' |
  sed -E 's/^ThreadId=[0-9]+\. //; s/ Time=[0-9:]+(  ErrCode=.*)?$//')
expected=(
  "TCalcPart.Create"
  "TCalcPart.Create"
  "TCalcPart.Destroy"
  "ibCalcPartCreate: except=String list does not allow duplicates"
  "TCalcPart.Destroy"
)
mapfile -t got <<<"$messages"
for i in "${!expected[@]}"; do
  check "$([[ ${got[$i]} == "${expected[$i]}" ]]; echo $?)" "log line $((i + 1)): ${expected[$i]}"
done
check "$([[ ${#got[@]} -eq ${#expected[@]} ]]; echo $?)" "nothing else is logged"
check "$(grep -q 'ibCalcPartCreate: except=.*ErrCode=' "$log"; echo $?)" "the refusal carries the error part"
