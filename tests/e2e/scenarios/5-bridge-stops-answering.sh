# The bridge stops answering in the middle of programming: the update fails
# within the time-outs instead of hanging, and the guest and the bridge stay
# usable (after the kernel's reset the bridge answers again).
old_firmware "$work/old.bin"
bridge_args=("--image $work/old.bin --hang spi02:10")
guest_files=("$examples/Config.ini" "$examples/VX94C6_example.eep")

guest() {
  update_script
  echo 'wait_bridges 1'
  echo 'run list "$PROGRAM" list --config /e2e/Config.ini'
}

check() {
  expect_exit update 9
  expect_output update "Write data failed."
  [ "$(seconds update)" -le 60 ] 2>/dev/null || fail "update: took $(seconds update) s, expected a failure within 60 s"
  expect_exit list 0
  expect_output list "row 47, ID EF3013"
}
