# Companion of remains_roads.sql: the log's lines, decoded from Windows-1251,
# against the lines the roads must leave. The quiet part leaves none before
# its marker; every failure line carries the error part.
# Arguments: <log-file> <workdir>.
log=$1
export LC_ALL=C.UTF-8

check() {  # check <condition-status> <description>
  if [[ $1 -eq 0 ]]; then echo "PASS $2"; else echo "FAIL $2"; fi
}

text=$(iconv -f cp1251 -t utf-8 "$log" | tr -d '\r')
# The message part of each line: between "ThreadId=<id>. " and " Time=".
messages=$(sed -E 's/^ThreadId=[0-9]+\. //; s/ Time=[0-9:]+(  ErrCode=.*)?$//' <<<"$text")

first=$(head -n 1 <<<"$messages")
check "$([[ $first == '-- end of the quiet part' ]]; echo $?)" "nothing logged before the quiet part's marker"

# "сущeствует" with a Latin e after "сущ", as the engines write it.
no_field='Поле %s не сущeствует в таблице %s'
expected=(
  "TOstatok.Create"
  "TOstatok.Create"
  "TOstatok.Destroy"
  "ibOstatokCreate: except=String list does not allow duplicates"
  "ibOstatokGetFieldNumber: except=Вариант TOstatok.GetFieldNumber(qty) не предусмотрен."
  "ibOstatokGetQuantity: except=List index (8) out of bounds"
  "ibOstatokEOF: except=List index (-1) out of bounds"
  "ibOstatokFirstNew: except=List index (8) out of bounds"
  "ibOstatokGetFieldDate: except=TOstatok.GetFieldDate: $(printf "$no_field" 1 4)"
  "ibOstatokGetFieldInteger: except=TOstatok.GetFieldInteger: $(printf "$no_field" 0 4)"
  "ibOstatokGetFieldDouble: except=TOstatok.GetFieldDouble: $(printf "$no_field" 3 4)"
  "ibOstatokExecute: except=TOstatok.Execute: day spreading up to LastDate 31.12.9999 needs more than 2000000 rows"
  "Ostatok"
)
mapfile -t got < <(tail -n +2 <<<"$messages")
for i in "${!expected[@]}"; do
  check "$([[ ${got[$i]} == "${expected[$i]}" ]]; echo $?)" "log line $((i + 2)): ${expected[$i]}"
done

# After Print's report of the engine: its destruction, then the store road.
store=(
  "TOstatok.Destroy"
  "TOstStore.Create"
  "TOstStore.Create"
  "TOstStore.Destroy"
  "ibOstStoreCreate: except=String list does not allow duplicates"
  "ibOstStoreGetFieldDate: except=TOstStore.GetFieldDate: $(printf "$no_field" 1 'Остатков по палетам')"
  "OstStore"
  "Count=1  Size=100  Capacity=100"
  "id=0  gd=01.06.2023  pack=2  asrt=3  p=4  q=0  del=0"
  ""
  "TOstStore.Destroy"
)
start=$(grep -n -x 'TOstatok.Destroy' <<<"$messages" | tail -n 1 | cut -d: -f1)
mapfile -t tail_lines < <(tail -n +"${start:-1}" <<<"$messages")
for i in "${!store[@]}"; do
  check "$([[ ${tail_lines[$i]} == "${store[$i]}" ]]; echo $?)" "store road line $((i + 1)): ${store[$i]}"
done
check "$([[ ${#tail_lines[@]} -eq ${#store[@]} ]]; echo $?)" "the store road ends the log"

failures=$(grep -c 'except=' <<<"$text")
with_error=$(grep 'except=' <<<"$text" | grep -c '  ErrCode=[0-9-]* ErrMsg=')
check "$([[ $failures -eq 11 && $with_error -eq 11 ]]; echo $?)" "11 failure lines, each with the error part"
print_line=$(grep -c -x 'id=0  od=[0-9.]*  pack=1  rz=1  pi=1  q=1  rq=0' <<<"$messages")
check "$([[ $print_line -eq 1 ]]; echo $?)" "Print wrote the appended movement"
