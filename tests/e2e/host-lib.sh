# Host side of the end-to-end scenarios, sourced by tests/e2e/run for each
# scenario in a subshell of its own. A scenario file sets
#   bridge_args=(ARGS...)   one entry per emulated bridge: vx-usbredir-bridge
#                           options (beside --socket, --save and --trace)
#   guest_files=(FILE...)   files copied into the guest's /e2e
# and defines guest (prints the guest's script, busybox sh with the helpers
# of guest/guest-lib.sh) and check (the checks, after the guest ran).
#
# Set by the runner: $work (the scenario's own folder), $build, $guest_out,
# $examples; the results of a run are read with output/exit_code/seconds.

failures=()
fail() { failures+=("$*"); }

# boot: starts the bridges, boots the guest with them and waits for both.
boot() {
  local i sockets=() devices=() overlay="$work/overlay"
  mkdir -p "$overlay/e2e"
  for i in "${!bridge_args[@]}"; do
    # shellcheck disable=SC2086
    "$build/tests/e2e/vx-usbredir-bridge" --socket "$work/bridge$i.sock" --save "$work/flash$i.bin" \
      --trace "$work/trace$i.txt" ${bridge_args[$i]} 2> "$work/bridge$i.log" &
    devices+=("$!")
    sockets+=(-chardev "socket,id=bridge$i,path=$work/bridge$i.sock" -device "usb-redir,chardev=bridge$i,bus=xhci.0")
  done
  for i in "${!bridge_args[@]}"; do
    local tries=0
    until [ -S "$work/bridge$i.sock" ]; do
      tries=$((tries + 1))
      [ $tries -lt 100 ] || { fail "bridge $i did not start: $(cat "$work/bridge$i.log")"; return 1; }
      sleep 0.05
    done
  done
  [ ${#guest_files[@]} -eq 0 ] || cp "${guest_files[@]}" "$overlay/e2e/"
  guest > "$overlay/e2e/scenario.sh"
  (cd "$overlay" && find . | cpio -o -H newc --quiet | gzip -1) > "$work/overlay.cpio.gz"
  cat "$guest_out/base.cpio.gz" "$work/overlay.cpio.gz" > "$work/initrd.gz"
  # Emulation (TCG) alone: it behaves alike on every machine.
  timeout 300 qemu-system-x86_64 -accel tcg -machine pc -nodefaults -display none -m 512 -no-reboot \
    -kernel "$guest_out/vmlinux" -initrd "$work/initrd.gz" -append "console=ttyS0 panic=-1 quiet" \
    -serial "file:$work/console.log" -serial "file:$work/results.raw" \
    -device qemu-xhci,id=xhci "${sockets[@]}" > "$work/qemu.log" 2>&1 || fail "the virtual machine failed or timed out (qemu.log)"
  tr -d '\r' < "$work/results.raw" > "$work/results.txt"
  # A bridge ends when the machine closes its connection; one that never got
  # a connection is stopped.
  for i in "${!devices[@]}"; do
    local waited=0
    while kill -0 "${devices[$i]}" 2>/dev/null && [ $waited -lt 100 ]; do
      sleep 0.1
      waited=$((waited + 1))
    done
    kill "${devices[$i]}" 2>/dev/null && fail "bridge $i was still running after the virtual machine ended"
    wait "${devices[$i]}" || fail "bridge $i ended badly: $(tail -1 "$work/bridge$i.log")"
  done
  grep -qx '@@done' "$work/results.txt" || fail "the guest did not finish its script (console.log)"
}

# The output of the guest's run NAME.
output() { awk -v name="$1" '$0 == "@@begin " name {on = 1; next} on && $1 == "@@end" && $2 == name {exit} on' "$work/results.txt"; }
end_field() { awk -v name="$1" -v field="$2" '$1 == "@@end" && $2 == name {print $field; exit}' "$work/results.txt"; }
exit_code() { end_field "$1" 3; }
seconds() { end_field "$1" 4; }

# received NAME FILE: the guest's send_file NAME, decoded into FILE.
received() {
  awk -v name="$1" '$0 == "@@file " name {on = 1; next} on && $1 == "@@end" {exit} on' "$work/results.txt" |
    base64 -d > "$2" 2>/dev/null
}

expect_exit() {
  local code
  code=$(exit_code "$1")
  [ "$code" = "$2" ] || fail "$1: exit code ${code:-missing}, expected $2"
}

expect_output() { output "$1" | grep -qF -- "$2" || fail "$1: no '$2' in its output"; }
expect_no_output() { ! output "$1" | grep -qF -- "$2" || fail "$1: '$2' in its output"; }

# expect_bytes WHAT FILE OFFSET EXPECTED_FILE EXPECTED_OFFSET LENGTH
expect_bytes() {
  cmp -s <(tail -c +$(($3 + 1)) "$2" | head -c "$6") <(tail -c +$(($5 + 1)) "$4" | head -c "$6") ||
    fail "$1: $6 bytes at $3 of $(basename "$2") differ from those at $5 of $(basename "$4")"
}

# expect_erased WHAT FILE OFFSET LENGTH
expect_erased() {
  [ -z "$(tail -c +$(($3 + 1)) "$2" | head -c "$4" | tr -d '\377' | head -c 1)" ] ||
    fail "$1: $4 bytes at $3 of $(basename "$2") are not all erased (FF)"
}

# The flash's status register byte 0 at the end, from the bridge's last line.
final_status() { sed -n 's/.*status register \([0-9A-F]*\) .*/\1/p' "$work/bridge$1.log"; }

# pattern LENGTH SEED: reproducible bytes, for firmware and flash content.
pattern() { LC_ALL=C awk -v n="$1" -v s="$2" 'BEGIN {for (i = 0; i < n; i++) printf "%c", (i * 7 + int(i / 251) + s) % 256}'; }

# A little-endian 32-bit value of a file at an offset.
le32() { od -An -tu4 -j "$2" -N 4 --endian=little "$1" | tr -d ' '; }

# expect_eep_written WHAT FLASH EEP: the flash holds the .eep file's images
# (configuration at 0, code at 512, the disk image at 0x2800) and is erased
# everywhere else.
expect_eep_written() {
  local what=$1 flash=$2 eep=$3 code disk
  code=$(le32 "$eep" 524)
  disk=$(($(stat -c %s "$eep") - 10240))
  expect_bytes "$what, configuration" "$flash" 0 "$eep" 0 512
  expect_bytes "$what, code" "$flash" 512 "$eep" 536 "$code"
  expect_erased "$what, rest of the code area" "$flash" $((512 + code)) $((8192 - code))
  expect_erased "$what, gap before the disk image" "$flash" 8704 $((10240 - 8704))
  if [ "$disk" -gt 0 ]; then expect_bytes "$what, disk image" "$flash" 10240 "$eep" 10240 "$disk"; fi
  expect_erased "$what, after the disk image" "$flash" $((10240 + disk)) $(($(stat -c %s "$flash") - 10240 - disk))
}

# The guest's script for one update of the first bridge, as run NAME
# (default "update"), after waiting for every bridge.
update_script() {
  printf 'wait_bridges %s\nrun %s "$PROGRAM" --yes --config /e2e/Config.ini\n' "${#bridge_args[@]}" "${1:-update}"
}

# The flash content a bridge starts with in the scenarios: an older firmware
# (the example configuration, other code) and an older disk image, written
# to FILE.
old_firmware() {
  { head -c 512 "$examples/VX94C6_example.eep"; pattern 8192 91; pattern 1536 0 | tr '\000-\377' '\377'
    pattern 4096 17; } > "$1"
}
