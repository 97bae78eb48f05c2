# A full update from an ".eep" file that carries a disk image: the bridge
# ends up holding exactly the file's three images, write-protected again.
old_firmware "$work/old.bin"
bridge_args=("--image $work/old.bin")
guest_files=("$examples/Config.ini" "$examples/VX94C6_example.eep")

guest() { update_script; }

check() {
  expect_exit update 0
  expect_output update "Success!!"
  expect_eep_written "flash" "$work/flash0.bin" "$examples/VX94C6_example.eep"
  [ "$(final_status 0)" = 1C ] || fail "status register at the end: $(final_status 0), expected 1C (protected)"
}
