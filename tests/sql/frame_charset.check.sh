# Companion of frame_charset.sql: the Cyrillic message is in the log as
# Windows-1251 bytes, whatever the database's character set.
# Arguments: <log-file> <workdir>.
log=$1
export LC_ALL=C

check() {  # check <condition-status> <description>
  if [[ $1 -eq 0 ]]; then echo "PASS $2"; else echo "FAIL $2"; fi
}

expected=$(printf 'Журнал: ёЁ №' | iconv -f utf-8 -t cp1251)
lines=$(grep -ac '' "$log" 2>/dev/null)
[[ $lines -eq 1 ]]
check $? "the log holds one line ($lines)"
grep -aqF ". $expected Time=" "$log"
check $? "the message is written in Windows-1251 ($ORLIX_CHARSET database)"
