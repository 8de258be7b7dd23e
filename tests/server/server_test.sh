#!/usr/bin/env bash
# A real Firebird 3 server on loopback loads ORLIX.so and serves 8 concurrent
# connections, each running 20 roads of every family, one road per
# EXECUTE BLOCK (so per server thread), every answer checked in SQL. Then the
# server must still answer, and it is stopped by its process id (on failure
# too).
#
#   tests/server/server_test.sh <build-dir>
#
# The server runs from a private root (<build-dir>/fbserver, see
# scripts/fbroot.sh) with its own copy of the security database, on a free
# port of 127.0.0.1. Prints every FAIL row and error, then one summary line.
set -uo pipefail

[[ $# -eq 1 ]] || { echo "usage: $0 <build-dir>" >&2; exit 2; }
repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd -P)
build_dir=$(cd "$1" && pwd -P) || exit 2
connections=8
roads=20
server_bin=${ORLIX_FB_SERVER:-/usr/sbin/firebird}
system_security=/var/lib/firebird/3.0/system/security3.fdb
# shellcheck source=../../scripts/fbroot.sh
source "$repo/scripts/fbroot.sh"

summary() { echo "server_loopback: $1 passed, $2 failed"; }
die() { echo "ERROR: $*"; summary 0 1; exit 1; }

[[ -x $server_bin && -f $system_security ]] || die "the Firebird server is missing (run scripts/setup.sh)"
[[ -f $build_dir/ORLIX.so ]] || die "$build_dir/ORLIX.so is missing (build first)"

# A port nobody listens on.
port=
for _ in $(seq 1 50); do
  candidate=$((20000 + RANDOM % 40000))
  if ! (exec 3<>"/dev/tcp/127.0.0.1/$candidate") 2>/dev/null; then
    port=$candidate
    break
  fi
done
[[ -n $port ]] || die "no free port found"

root=$build_dir/fbserver
work=$build_dir/servertest
rm -rf "$work"
mkdir -p "$work" || exit 1
orlix_fbroot_create "$root" "$build_dir" "RemoteServicePort = $port" "RemoteBindAddress = 127.0.0.1" \
  "ServerMode = Super" || die "cannot build the server root"
orlix_fbroot_env "$root" || exit 1
cp "$system_security" "$root/security3.fdb" || exit 1
printf 'security.db = %s\n' "$root/security3.fdb" >"$root/databases.conf"

db=$work/test.fdb
embedded() { orlix_isql "$build_dir" -q "$@" </dev/null; }
printf "CREATE DATABASE '%s' USER 'SYSDBA' DEFAULT CHARACTER SET WIN1251;\n" "$db" >"$work/create.sql"
printf "CREATE OR ALTER USER SYSDBA PASSWORD 'masterkey' USING PLUGIN Srp;\nCOMMIT;\n" >"$work/user.sql"
embedded -user SYSDBA "$root/security3.fdb" -i "$work/user.sql" >"$work/setup.out" 2>&1 &&
  embedded -i "$work/create.sql" >>"$work/setup.out" 2>&1 &&
  embedded -user SYSDBA "$db" -i "$repo/sql/orlix.sql" >>"$work/setup.out" 2>&1
if [[ $? -ne 0 || -s $work/setup.out ]]; then
  sed 's/^/ERROR (setup): /' "$work/setup.out"
  die "setting up the security and test databases failed"
fi

# The server, with the sanitizer runtimes when ORLIX.so needs them.
runtimes=$(orlix_sanitizer_runtimes "$build_dir" | tr '\n' ' ')
LD_PRELOAD=$runtimes ASAN_OPTIONS=${ORLIX_ASAN_OPTIONS:-detect_leaks=0} \
  "$server_bin" >"$work/server.out" 2>&1 </dev/null &
server_pid=$!
stop_server() {
  kill "$server_pid" 2>/dev/null || return 0
  for _ in $(seq 1 100); do
    kill -0 "$server_pid" 2>/dev/null || break
    sleep 0.2
  done
  kill -9 "$server_pid" 2>/dev/null
  wait "$server_pid" 2>/dev/null
}
trap stop_server EXIT

remote() { isql-fb -q -ch UTF8 -user SYSDBA -password masterkey "127.0.0.1/$port:$db" "$@"; }
echo 'SELECT 1 AS UP FROM RDB$DATABASE;' >"$work/ping.sql"
up=0
for _ in $(seq 1 100); do
  if remote -i "$work/ping.sql" 2>/dev/null </dev/null | grep -q '^ *1 *$'; then
    up=1
    break
  fi
  kill -0 "$server_pid" 2>/dev/null || break
  sleep 0.2
done
[[ $up -eq 1 ]] || { cat "$work/server.out"; die "the server did not answer on 127.0.0.1:$port"; }

# One connection's script: $roads rounds of every family's road. Seeds
# differ between connections and rounds, so a road that saw another's data
# fails its checks.
write_script() {  # write_script <connection>
  local k=$1 i seed
  echo 'SET TERM ^ ;'
  for i in $(seq 1 "$roads"); do
    seed=$((k * 100 + i))
    sed "s/@SEED@/$seed/g" "$repo/tests/server/roads.sql"
  done
  echo 'SET TERM ; ^'
}
pids=()
for k in $(seq 1 "$connections"); do
  write_script "$k" >"$work/client$k.sql"
  remote -i "$work/client$k.sql" >"$work/client$k.out" 2>"$work/client$k.err" </dev/null &
  pids+=($!)
done
errors=0
for k in $(seq 1 "$connections"); do
  wait "${pids[k - 1]}" || { echo "ERROR: client $k: exit status $?"; errors=1; }
  if [[ -s $work/client$k.err ]]; then
    sed "s/^/ERROR (client $k): /" "$work/client$k.err" | head -20
    errors=1
  fi
done
passed=$(cat "$work"/client*.out | awk '$1 == "PASS"' | wc -l)
failed=$(cat "$work"/client*.out | awk '$1 == "FAIL"' | wc -l)
cat "$work"/client*.out | awk '$1 == "FAIL"' | head -20
checks_per_road=$(grep -c "'PASS', 'FAIL')" "$repo/tests/server/roads.sql")
expected=$((connections * roads * checks_per_road))
if [[ $passed -ne $expected ]]; then
  echo "ERROR: $passed PASS rows, expected $expected"
  errors=1
fi

# Still serving afterwards, and still the same process. The last client's
# detach closes the database; on a loaded machine a connection that comes
# meanwhile can be refused once, so a few tries are allowed, each with the
# server process still alive.
answered=0
for _ in $(seq 1 25); do
  kill -0 "$server_pid" 2>/dev/null || break
  if remote -i "$work/ping.sql" 2>"$work/ping.err" </dev/null | grep -q '^ *1 *$'; then
    answered=1
    break
  fi
  sleep 0.2
done
if [[ $answered -eq 1 ]] && kill -0 "$server_pid" 2>/dev/null; then
  passed=$((passed + 1))
else
  echo "FAIL the server answers after the clients"
  kill -0 "$server_pid" 2>/dev/null || echo "ERROR: the server process is gone"
  sed 's/^/ERROR (ping): /' "$work/ping.err" | head -5
  cat "$work/server.out"
  failed=$((failed + 1))
fi
if grep -Eq 'AddressSanitizer|runtime error:' "$work/server.out"; then
  cat "$work/server.out"
  errors=1
fi
stop_server
trap - EXIT
if kill -0 "$server_pid" 2>/dev/null; then
  echo "ERROR: the server did not stop"
  errors=1
fi

summary "$passed" "$failed"
[[ $failed -eq 0 && $errors -eq 0 ]]
