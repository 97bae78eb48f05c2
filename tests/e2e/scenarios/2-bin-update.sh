# An update from a bare code image (".bin"): the configuration image the
# bridge holds is kept, the new code replaces the old.
old_firmware "$work/old.bin"
pattern 5000 201 > "$work/new-code.bin"
sed 's/^HEXNAME=.*/HEXNAME=new-code.bin/' "$examples/Config.ini" > "$work/Config.ini"
bridge_args=("--image $work/old.bin")
guest_files=("$work/Config.ini" "$work/new-code.bin")

guest() { update_script; }

check() {
  expect_exit update 0
  expect_output update "Success!!"
  expect_bytes "configuration kept" "$work/flash0.bin" 0 "$work/old.bin" 0 512
  expect_bytes "new code" "$work/flash0.bin" 512 "$work/new-code.bin" 0 5000
  expect_erased "rest of the code area" "$work/flash0.bin" 5512 3192
}
