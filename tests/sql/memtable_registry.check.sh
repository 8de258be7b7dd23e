# Companion of memtable_registry.sql: the log's message parts, line by line,
# decoded from Windows-1251. Quiet failures (no table, no such field, cursor
# off the rows) must leave no line; failures inside a call leave one each.
# Arguments: <log-file> <workdir>.
log=$1
export LC_ALL=C.UTF-8

check() {  # check <condition-status> <description>
  if [[ $1 -eq 0 ]]; then echo "PASS $2"; else echo "FAIL $2"; fi
}

never_date='30.12.1899 00:00:00'
expected=(
  "TMemTable.CreateTable=a"
  "TMemTable.CreateTable=b"
  "TMemTable.CreateTable=Склад"
  "ibMemTableCreate.except=Таблица склад уже существует TTableList.CreateTable"
  "TMemTable.Destroy=b"
  "TMemTable.CreateTable=d"
  "TMemTable.Destroy=Склад"
  "TMemTable.CreateTable=e"
  "TMemTable.CreateTable=f"
  "ibMemTableFree.except=Таблица 103 не существует TTableList.FreeTable"
  "TMemTable.Destroy=a"
  "TMemTable.Destroy=d"
  "TMemTable.Destroy=e"
  "TMemTable.Destroy=f"
  "TMemTable.CreateTable=phases"
  "ibMemTableInsert.except=Row = nil in the TMemTable.Insert"
  "ibMemTableRowClear.except=Row = nil in the TMemTable.RowClear"
  "ibMemTableLocate.except=Row = nil in the TMemTable.Locate"
  "ibMemTableAddField.except=TDescMemFields.Add - The type Int unknown"
  "ibMemTableAddField.except=TDescMemFields.Add - The action avg unknown"
  "ibMemTableAddField.except=TDescMemFields.Add - The type float unknown"
  "ibMemTableAddField.except=Except: TDescMemFields.Add - Table.Size=100"
  "@NOW@"
  "MemTable"
  "Row"
  "new=0   f0=0   f1=0    f2=$never_date   f3=0   "
  "Count=2  Size=100  Capacity=100"
  "new=0   f0=-7   f1=0    f2=$never_date   f3=10   "
  "new=0   f0=5   f1=5 abгде   f2=01.01.0001 00:00:00   f3=3   "
  "ibMemTableAddField.except=Except: TDescMemFields.Add - Table.Size=100"
  "TMemTable.Destroy=phases"
)

[[ -s $log ]]
check $? "the log file was written"

# Message part of each line: between "ThreadId=<id>. " and " Time=hh:mm:ss"
# (failure lines go on with the error part).
mapfile -t actual < <(iconv -f cp1251 -t UTF-8 "$log" | tr -d '\r' |
  sed -E 's/^ThreadId=[0-9]+\. //; s/ Time=[0-9]{1,2}:[0-9]{2}:[0-9]{2}(  ErrCode=.*)?$//')

[[ ${#actual[@]} -eq ${#expected[@]} ]]
check $? "the log has ${#expected[@]} lines (found ${#actual[@]}): nothing for quiet failures"

mismatches=0
for i in "${!expected[@]}"; do
  want=${expected[$i]}
  got=${actual[$i]-}
  if [[ $want == "@NOW@" ]]; then
    [[ $got =~ ^[0-9]{2}\.[0-9]{2}\.[0-9]{4}\ [0-9]{2}:[0-9]{2}:[0-9]{2}$ ]] && continue
  elif [[ $got == "$want" ]]; then
    continue
  fi
  mismatches=$((mismatches + 1))
  echo "line $((i + 1)): expected [$want] got [$got]" >&2
done
check $((mismatches != 0)) "every log line is the expected one, in order (Print lines included)"

failure_lines=$(grep -ac 'except=' "$log")
error_parts=$(grep -ac '  ErrCode=' "$log")
[[ $failure_lines -eq 10 && $error_parts -eq 10 ]]
check $? "the 10 failure lines, and only they, carry the error part"
