# Private Firebird root for running ORLIX.so in an embedded engine.
#
# Sourced (not run) by tests/sql/run_sql_test.sh and scripts/demo.sh, so the
# root is built one way everywhere. Nothing under /etc or the system's
# Firebird folder is changed: the root is a folder of symbolic links to the
# packaged engine plus its own firebird.conf, and the engine finds it through
# the FIREBIRD environment variable.
#
#   orlix_fbroot_create ROOT UDF_DIR [SETTING...]
#       Builds ROOT (idempotent, safe when several processes call it at once).
#       UDF_DIR is the folder holding ORLIX.so; each SETTING is a
#       "Name = value" line that replaces the packaged value, for example
#       "BugcheckAbort = 1" for a one-off speed measurement.
#   orlix_fbroot_env ROOT
#       Exports FIREBIRD (and the root's own lock folder) for the engine.
#   orlix_isql UDF_DIR ISQL-ARGUMENTS...
#       Runs isql-fb; when ORLIX.so in UDF_DIR was built with the sanitizers,
#       the matching runtimes are preloaded into isql-fb (leak detection off:
#       the engine itself does not free everything at exit).

ORLIX_FB_SYSTEM_ROOT=${ORLIX_FB_SYSTEM_ROOT:-/usr/lib/x86_64-linux-gnu/firebird/3.0}

# The root's firebird.conf on stdout: the packaged one with UdfAccess
# restricted to UDF_DIR and the given settings replacing their packaged lines.
orlix_fbroot_conf() {
  local udf_dir=$1
  shift
  local settings=("UdfAccess = Restrict $udf_dir" "$@")
  local keys=() setting
  for setting in "${settings[@]}"; do
    keys+=("$(printf '%s' "${setting%%=*}" | tr -d '[:space:]')")
  done
  # Drop the active (uncommented) lines of the keys we set, keep the rest.
  awk -v keys="${keys[*]}" '
    BEGIN { n = split(keys, k, " "); for (i = 1; i <= n; i++) drop[tolower(k[i])] = 1 }
    {
      line = $0
      sub(/^[ \t]+/, "", line)
      if (line !~ /^#/ && index(line, "=") > 0) {
        key = substr(line, 1, index(line, "=") - 1)
        gsub(/[ \t]+/, "", key)
        if (tolower(key) in drop) next
      }
      print
    }' "$ORLIX_FB_SYSTEM_ROOT/firebird.conf"
  printf '\n# ORLIX private root\n'
  printf '%s\n' "${settings[@]}"
}

# True when ROOT is complete, configured as wanted and its copied
# character-set module matches the installed one.
orlix_fbroot_current() {
  local root=$1 wanted=$2
  [[ -f $root/firebird.conf && -d $root/lock ]] &&
    [[ "$(cat "$root/firebird.conf")" == "$wanted" ]] &&
    cmp -s "$root/intl/libfbintl.so" "$ORLIX_FB_SYSTEM_ROOT/intl/libfbintl.so"
}

orlix_fbroot_create() {
  local root=$1 udf_dir=$2
  shift 2
  if [[ ! -d $ORLIX_FB_SYSTEM_ROOT ]]; then
    echo "fbroot: $ORLIX_FB_SYSTEM_ROOT is missing (run scripts/setup.sh)" >&2
    return 1
  fi
  udf_dir=$(cd "$udf_dir" && pwd -P) || return 1
  mkdir -p "$(dirname "$root")" || return 1
  local wanted
  wanted=$(orlix_fbroot_conf "$udf_dir" "$@") || return 1
  # Fast path without the lock: the root is there and configured as wanted.
  if orlix_fbroot_current "$root" "$wanted"; then
    return 0
  fi
  (
    flock 9 || exit 1
    # Someone else may have built it while we waited for the lock.
    if orlix_fbroot_current "$root" "$wanted"; then
      exit 0
    fi
    local fresh entry
    fresh=$(mktemp -d "$root.new.XXXXXX") || exit 1
    for entry in "$ORLIX_FB_SYSTEM_ROOT"/*; do
      case ${entry##*/} in
        firebird.conf | databases.conf) ;;
        intl)
          # The engine refuses a character-set module reached through a
          # symbolic link ("CHARACTER SET WIN1251 is not installed"), so
          # the root holds a copy of it; its configuration is linked.
          mkdir "$fresh/intl" || exit 1
          ln -s "$entry/fbintl.conf" "$fresh/intl/fbintl.conf" || exit 1
          cp "$entry/libfbintl.so" "$fresh/intl/libfbintl.so" || exit 1
          ;;
        *) ln -s "$entry" "$fresh/${entry##*/}" || exit 1 ;;
      esac
    done
    printf '%s\n' "$wanted" >"$fresh/firebird.conf" || exit 1
    mkdir "$fresh/lock" || exit 1
    chmod 755 "$fresh"
    if [[ -e $root ]]; then
      rm -rf "$root.old" && mv "$root" "$root.old" || exit 1
    fi
    mv "$fresh" "$root" || exit 1
    rm -rf "$root.old"
  ) 9>"$root.lock"
}

orlix_fbroot_env() {
  local root
  root=$(cd "$1" && pwd -P) || return 1
  export FIREBIRD=$root
  # Lock files of the engine stay inside the root instead of /tmp/firebird.
  export FIREBIRD_LOCK=$root/lock
}

# The sanitizer runtimes ORLIX.so in UDF_DIR links, one path a line (none
# for a normal build).
orlix_sanitizer_runtimes() {
  local so=$1/ORLIX.so
  [[ -f $so ]] || return 0
  ldd "$so" 2>/dev/null | awk '$1 ~ /^lib(asan|ubsan)\.so/ && $3 ~ /^\// { print $3 }' | sort -u
}

orlix_isql() {
  local udf_dir=$1
  shift
  local runtimes
  runtimes=$(orlix_sanitizer_runtimes "$udf_dir")
  if [[ -n $runtimes ]]; then
    # libasan must come first in the process; ubsan rides along.
    LD_PRELOAD=$(printf '%s' "$runtimes" | tr '\n' ' ') \
      ASAN_OPTIONS=${ORLIX_ASAN_OPTIONS:-detect_leaks=0} \
      UBSAN_OPTIONS=${ORLIX_UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1} \
      isql-fb "$@"
  else
    isql-fb "$@"
  fi
}
