# Helpers for the scenarios' guest parts (busybox sh). Results are framed
# on the result port for the host:
#   @@begin NAME / output lines / @@end NAME EXITCODE SECONDS
#   @@file NAME / base64 lines / @@end NAME 0 0
PROGRAM=/opt/vx94c6/vx94c6-updater
RESULTS=/dev/ttyS1

result_line() { echo "$*" > "$RESULTS"; }

# run NAME COMMAND...: runs the command (at most 150 s), sends its output
# (standard output and error together), exit code and wall time.
run() {
  name=$1
  shift
  start=$(date +%s)
  timeout 150 "$@" > "/tmp/$name.out" 2>&1 < /dev/null
  code=$?
  { echo "@@begin $name"; cat "/tmp/$name.out"; echo "@@end $name $code $(($(date +%s) - start))"; } > "$RESULTS"
}

# run_as_operator NAME COMMAND...: the same as the unprivileged user
# "operator" (group plugdev).
run_as_operator() {
  name=$1
  shift
  run "$name" su -s /bin/sh -c 'exec "$0" "$@"' -- operator "$@"
}

# send_file NAME PATH: the file's bytes, base64-encoded.
send_file() {
  { echo "@@file $1"; base64 "$2"; echo "@@end $1 0 0"; } > "$RESULTS"
}

# The USB devices of the bridges (vendor 1B7E), as sysfs paths.
bridge_usb_devices() {
  for device in /sys/bus/usb/devices/*; do
    [ "$(cat "$device/idVendor" 2>/dev/null)" = 1b7e ] && echo "$device"
  done
}

# The generic SCSI nodes (/dev/sgN) below a bridge's USB device.
bridge_sg_nodes() {
  for node in "$1"/*/host*/target*/*/scsi_generic/sg*; do
    [ -e "$node" ] && echo "/dev/${node##*/}"
  done
}

# /dev/bus/usb/BBB/DDD of a bridge's USB device.
bridge_usb_node() {
  printf '/dev/bus/usb/%03d/%03d\n' "$(cat "$1/busnum")" "$(cat "$1/devnum")"
}

# wait_bridges N: waits (at most 30 s) until N bridges show their disk's
# generic SCSI node and block device; says on the result port how it went.
wait_bridges() {
  tries=0
  while :; do
    ready=0
    for device in $(bridge_usb_devices); do
      for sg in $(bridge_sg_nodes "$device"); do
        ls "/sys/class/scsi_generic/${sg##*/}/device/block" > /dev/null 2>&1 && ready=$((ready + 1))
      done
    done
    [ "$ready" -ge "$1" ] && break
    tries=$((tries + 1))
    if [ "$tries" -gt 150 ]; then
      result_line "@@bridges timeout $ready"
      return 1
    fi
    sleep 0.2
  done
  result_line "@@bridges ready $ready"
}
