#!/usr/bin/env bash
# Installs what ORLIX needs to build and test on Debian 12: the compiler and
# build tools, GoogleTest, Google Benchmark, Firebird 3 (the engine for
# embedded SQL tests, isql-fb, headers, ib_util, and the server with its
# security database for the loopback server test), clang with its fuzzer
# runtime (libFuzzer) and valgrind (the leak check). Idempotent: installs only
# what is missing, and says nothing when everything is there.
set -euo pipefail

packages=(
  cmake g++ make pkg-config
  libgtest-dev libbenchmark-dev
  firebird3.0-server-core firebird3.0-utils firebird-dev libib-util libfbclient2 firebird3.0-server
  clang libclang-rt-14-dev valgrind
)

missing=()
for package in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$package" 2>/dev/null || true)
  [[ $status == "install ok installed" ]] || missing+=("$package")
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

if [[ $(id -u) -eq 0 ]]; then
  as_root=()
elif command -v sudo >/dev/null; then
  as_root=(sudo)
else
  echo "setup.sh: missing packages (${missing[*]}) and neither root nor sudo" >&2
  exit 1
fi

echo "setup.sh: installing ${missing[*]}"
"${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -qq
"${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
