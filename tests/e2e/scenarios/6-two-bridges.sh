# Two bridges attached: only the first (lowest USB port path) is updated,
# the second's flash stays as it was.
old_firmware "$work/old.bin"
bridge_args=("--image $work/old.bin --serial VX0000000001" "--image $work/old.bin --serial VX0000000002")
guest_files=("$examples/Config.ini" "$examples/VX94C6_example.eep")

guest() {
  echo 'wait_bridges 2'
  echo 'run list "$PROGRAM" list --config /e2e/Config.ini'
  update_script
}

check() {
  expect_exit list 0
  expect_output list "slot 0"
  expect_output list "slot 1"
  [ "$(output list | awk '/USB device:/ {print $3}' | tr '\n' ' ')" = "1-1 1-2 " ] ||
    fail "list: the bridges in the order $(output list | awk '/USB device:/ {print $3}' | tr '\n' ' '), expected 1-1 1-2"
  grep -q "usb 1-1: SerialNumber: VX0000000001" "$work/console.log" ||
    fail "the first bridge is not the one on port 1-1 (console.log)"
  expect_exit update 0
  expect_output update "Success!!"
  expect_eep_written "first bridge" "$work/flash0.bin" "$examples/VX94C6_example.eep"
  expect_bytes "second bridge untouched" "$work/flash1.bin" 0 "$work/old.bin" 0 "$(stat -c %s "$work/old.bin")"
  ! grep -qE "^[0-9]+: (E6|E7 [0-9A-F]{2} 00 00 1B 7E [0-9A-F]{2} [0-9A-F]{2} (01|02|60|62|C7)) " "$work/trace1.txt" ||
    fail "the second bridge was sent write, erase or program commands"
}
