# The 20th page program fails: the update stops with the programming step's
# message and exit code 9, and the next run updates the bridge.
old_firmware "$work/old.bin"
bridge_args=("--image $work/old.bin --fail spi02:20")
guest_files=("$examples/Config.ini" "$examples/VX94C6_example.eep")

guest() {
  update_script failing
  echo 'run again "$PROGRAM" --yes --config /e2e/Config.ini'
}

check() {
  expect_exit failing 9
  expect_output failing "Write data failed."
  expect_no_output failing "Success!!"
  expect_exit again 0
  expect_output again "Success!!"
  expect_eep_written "flash after the second run" "$work/flash0.bin" "$examples/VX94C6_example.eep"
}
