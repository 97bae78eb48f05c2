#!/usr/bin/env bash
# scripts/install-deps with the system's package tools replaced by stubs: who
# may install, what is installed, what the user without sudo is told.
# Usage: install_deps_test.sh <path of install-deps>
set -uo pipefail
script=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0 passes=0

# Stubs: dpkg-query knows the packages in STUB_INSTALLED; id answers
# STUB_UID and STUB_GROUPS; sudo -n succeeds when STUB_SUDO_NOPASS=1 and runs
# the rest; apt-get logs its arguments and exits STUB_APT_RC.
make_stubs() {  # $1: folder; $2: "sudo" to include sudo
  mkdir -p "$1"
  for tool in grep tr; do ln -s "$(command -v $tool)" "$1/$tool"; done
  cat >"$1/dpkg-query" <<'STUB'
#!/bin/bash
for p in $STUB_INSTALLED; do [ "$p" = "${!#}" ] && { echo "install ok installed"; exit 0; }; done
exit 1
STUB
  cat >"$1/id" <<'STUB'
#!/bin/bash
[ "$1" = -u ] && echo "$STUB_UID" || echo "$STUB_GROUPS"
STUB
  cat >"$1/apt-get" <<'STUB'
#!/bin/bash
echo "apt-get $*" >>"$STUB_LOG"
exit "${STUB_APT_RC:-0}"
STUB
  if [ "${2:-}" = sudo ]; then
    cat >"$1/sudo" <<'STUB'
#!/bin/bash
if [ "$1" = -n ]; then [ "${STUB_SUDO_NOPASS:-0}" = 1 ]; exit; fi
echo -n "sudo " >>"$STUB_LOG"
"$@"
STUB
  fi
  chmod +x "$1"/*
}
make_stubs "$work/with-sudo" sudo
make_stubs "$work/no-sudo"
mkdir -p "$work/no-dpkg" && ln -s "$(command -v grep)" "$work/no-dpkg/grep"

all="cmake make g++ googletest libgtest-dev libgmock-dev libcli11-dev libusb-1.0-0-dev nlohmann-json3-dev clang
     libclang-rt-14-dev"
some="make g++ googletest libgtest-dev libgmock-dev libusb-1.0-0-dev nlohmann-json3-dev clang libclang-rt-14-dev"  # cmake and libcli11-dev missing

# check NAME EXIT-CODE EXPECTED-APT-LOG EXPECTED-STDERR-PART -- VAR=VALUE...
check() {
  local name=$1 want_rc=$2 want_log=$3 want_err=$4
  shift 5
  : >"$work/log"
  env -i PATH="$work/with-sudo" STUB_LOG="$work/log" STUB_UID=0 STUB_GROUPS=user STUB_INSTALLED="$some" "$@" \
    "$BASH" "$script" </dev/null >"$work/out" 2>"$work/err"
  local rc=$?
  local log err
  log=$(cat "$work/log")
  err=$(cat "$work/err")
  if [ "$rc" != "$want_rc" ] || [ "$log" != "$want_log" ] || [[ "$err" != *"$want_err"* ]]; then
    echo "FAIL $name: exit $rc (want $want_rc)"
    echo "  apt-get calls: [$log]"
    echo "  want:          [$want_log]"
    echo "  stderr: [$err]"
    echo "  want part:     [$want_err]"
    failures=$((failures + 1))
  else
    passes=$((passes + 1))
  fi
}

install="install -y -q --no-install-recommends cmake libcli11-dev"
admin="apt-get update && apt-get install --no-install-recommends cmake libcli11-dev"
check "nothing missing" 0 "" "" -- STUB_INSTALLED="$all"
check "skipped" 0 "" "" -- VX_SKIP_INSTALL_DEPS=1
check "root" 0 $'apt-get update -q\napt-get '"$install" "" --
check "sudo without password" 0 $'sudo apt-get update -q\nsudo apt-get '"$install" "" -- STUB_UID=1000 STUB_SUDO_NOPASS=1
check "no sudo" 1 "" "$admin" -- STUB_UID=1000 PATH="$work/no-sudo"
check "sudo needs a password, no terminal" 1 "" "may not install packages through sudo" -- STUB_UID=1000 STUB_GROUPS="user sudo"
check "not allowed" 1 "" "these Debian packages are missing: cmake libcli11-dev" -- STUB_UID=1000
check "apt-get fails" 1 "apt-get update -q" "apt-get could not install them" -- STUB_APT_RC=100
check "no Debian" 1 "" "VX_SKIP_INSTALL_DEPS=1" -- PATH="$work/no-dpkg"

echo "$passes passed, $failures failed"
[ "$failures" -eq 0 ]
