# An unprivileged user: without access to the bridge's nodes the program
# says so clearly and writes nothing; with the permissions that the
# repository's udev rule gives (its MODE and GROUP, applied by hand since the
# guest runs no udev daemon) the update works.
rules=$(ls "$examples"/../udev/*.rules 2>/dev/null | head -1)
rule_value() {  # SUBSYSTEM KEY
  [ -n "$rules" ] && grep -E "^SUBSYSTEM==\"$1\"" "$rules" | grep -o "$2=\"[^\"]*\"" | head -1 | cut -d'"' -f2
}
old_firmware "$work/old.bin"
bridge_args=("--image $work/old.bin")
guest_files=("$examples/Config.ini" "$examples/VX94C6_example.eep")

guest() {
  cat <<SCRIPT
wait_bridges 1
run_as_operator denied "\$PROGRAM" --yes --config /e2e/Config.ini
device=\$(bridge_usb_devices | head -1)
usb_node=\$(bridge_usb_node "\$device")
sg_node=\$(bridge_sg_nodes "\$device" | head -1)
chgrp '$(rule_value usb GROUP)' "\$usb_node" && chmod '$(rule_value usb MODE)' "\$usb_node"
chgrp '$(rule_value scsi_generic GROUP)' "\$sg_node" && chmod '$(rule_value scsi_generic MODE)' "\$sg_node"
run nodes ls -l "\$usb_node" "\$sg_node"
run_as_operator granted "\$PROGRAM" --yes --config /e2e/Config.ini
SCRIPT
}

check() {
  [ -n "$(rule_value usb MODE)" ] && [ -n "$(rule_value scsi_generic MODE)" ] ||
    fail "no udev rule with MODE for the usb and scsi_generic subsystems in udev/"
  local code
  code=$(exit_code denied)
  [ -n "$code" ] && [ "$code" != 0 ] || fail "denied: exit code ${code:-missing}, expected a failure"
  expect_output denied "permission denied"
  expect_output denied "udev rule"
  output denied | grep -q "/dev/sg[0-9]" || fail "denied: the message names no /dev/sgN node"
  expect_no_output denied "Success!!"
  expect_exit granted 0
  expect_output granted "Success!!"
  expect_eep_written "flash" "$work/flash0.bin" "$examples/VX94C6_example.eep"
}
