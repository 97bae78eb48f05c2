# list shows the bridge as the kernel presents it, also as JSON; read saves a
# backup that equals what the flash holds, and refuses a range past the
# flash's end.
old_firmware "$work/old.bin"
bridge_args=("--image $work/old.bin")
guest_files=("$examples/Config.ini")

guest() {
  cat <<'SCRIPT'
wait_bridges 1
run list "$PROGRAM" list --config /e2e/Config.ini
run listjson "$PROGRAM" list --json --config /e2e/Config.ini
run read "$PROGRAM" read /tmp/backup.bin --config /e2e/Config.ini
run past "$PROGRAM" read /tmp/past.bin --address 0x7FF00 --length 0x200 --config /e2e/Config.ini
send_file backup /tmp/backup.bin
run disk "$PROGRAM" read /tmp/disk.bin --address 0x2800 --length 4096 --config /e2e/Config.ini
send_file disk /tmp/disk.bin
SCRIPT
}

check() {
  expect_exit list 0
  expect_output list "vendor 1B7E, product 94C6"
  expect_output list "Firmware version: 01000005"
  expect_output list "row 47, ID EF3013"
  output list | grep -q "/dev/sg[0-9]" || fail "list: no generic SCSI node (/dev/sgN)"
  output list | grep -q "/dev/sd[a-z]" || fail "list: no block device (/dev/sdX)"
  output list | grep -qE "(^|[^0-9])1-1([^.0-9]|$)" || fail "list: no USB path 1-1"
  expect_exit listjson 0
  output listjson | grep -qE '"blockDevice":\{"path":"/dev/sd[a-z]","mountPoints":\[\]\}' ||
    fail "listjson: no unmounted block device /dev/sdX"
  expect_exit read 0
  expect_exit past 2
  expect_output past "runs past the end of the bridge's flash; nothing was read."
  received backup "$work/backup.bin"
  [ "$(stat -c %s "$work/backup.bin")" = 8704 ] || fail "backup: $(stat -c %s "$work/backup.bin") bytes, expected 8704"
  expect_bytes "backup" "$work/backup.bin" 0 "$work/flash0.bin" 0 8704
  expect_exit disk 0
  received disk "$work/disk.bin"
  expect_bytes "disk-image backup" "$work/disk.bin" 0 "$work/old.bin" 10240 4096
  local size
  size=$(stat -c %s "$work/old.bin")
  expect_bytes "flash after list and read" "$work/flash0.bin" 0 "$work/old.bin" 0 "$size"
  expect_erased "flash after list and read" "$work/flash0.bin" "$size" $(($(stat -c %s "$work/flash0.bin") - size))
}
