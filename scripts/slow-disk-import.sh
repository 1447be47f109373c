#!/usr/bin/env bash
# An import beside a saving copy on a slow disk: a loop device with an ext4
# file system mounted "sync" (every write goes to the device before it
# returns), its writes held to BYTES_PER_S by the block I/O controller
# (cgroup v1 blkio.throttle or cgroup v2 io.max). One copy imports ROWS rows
# while another saves a card every 100 ms (a new card, then the same card over
# itself); prints the import's time and the saves, failed saves and slowest save.
# Needs root. Usage: scripts/slow-disk-import.sh <storage_driver> [rows] [bytes per second]
set -euo pipefail
driver=$1
rows=${2:-600000}
rate=${3:-41943040}
[ "$(id -u)" = 0 ] || { echo "slow disk: skipped (needs root)"; exit 0; }

work=$(mktemp -d)
loop=""
group=""
cleanup() {
  [ -n "${saver:-}" ] && kill "$saver" 2>/dev/null && wait "$saver" 2>/dev/null
  mountpoint -q "$work/disk" && umount "$work/disk"
  [ -n "$loop" ] && losetup -d "$loop"
  [ -n "$group" ] && [ -d "$group" ] && rmdir "$group"
  rm -rf "$work"
}
trap cleanup EXIT

truncate -s $(( (rows * 3765 / 1048576 + 600) ))M "$work/disk.img"
loop=$(losetup -f --show "$work/disk.img")
mkfs.ext4 -q "$loop"
mkdir "$work/disk"
mount -o sync "$loop" "$work/disk"
device=$(stat -c '%t:%T' "$loop")
device=$(( 16#${device%%:*} )):$(( 16#${device##*:} ))

if [ -d /sys/fs/cgroup/blkio ]; then
  group=/sys/fs/cgroup/blkio/tavolux-slow-disk
  mkdir "$group"
  echo "$device $rate" > "$group/blkio.throttle.write_bps_device"
elif [ -f /sys/fs/cgroup/cgroup.controllers ] && grep -qw io /sys/fs/cgroup/cgroup.controllers; then
  grep -qw io /sys/fs/cgroup/cgroup.subtree_control || echo +io > /sys/fs/cgroup/cgroup.subtree_control
  group=/sys/fs/cgroup/tavolux-slow-disk
  mkdir "$group"
  echo "$device wbps=$rate" > "$group/io.max"
else
  echo "slow disk: skipped (no block I/O controller)"; exit 0
fi

# The rows, as an address book would give them.
awk -v n="$rows" 'BEGIN { print "Nome;Indirizzo;CAP;Città;Note";
  for (i = 1; i <= n; i++) printf "Cliente %d;Via Roma %d;%05d;Città %d;nota %d\n", i, i, 10000 + i % 90000, i % 97, i }' \
  > "$work/rubrica.csv"

# Both copies write to the slow disk (the subshell joins the group, then
# becomes the copy).
( echo "$BASHPID" > "$group/cgroup.procs"; exec "$driver" saver "$work/disk" altra 100 3600000 ) \
  > "$work/saver.out" 2> "$work/saver.err" &
saver=$!
sleep 1
start=$(date +%s.%N)
( echo "$BASHPID" > "$group/cgroup.procs"; exec "$driver" import "$work/disk" "$work/rubrica.csv" ) > "$work/import.out"
end=$(date +%s.%N)
kill -TERM "$saver"
wait "$saver" || true
saver=""
cards=$(( $(stat -c %s "$work/disk/Archivio_Indirizzi.pro") / 3765 ))
printf 'slow disk (%d bytes/s, sync): %d rows imported (%s) in %.1f s; %d cards in the archive; other copy: %s\n' \
  "$rate" "$rows" "$(cat "$work/import.out")" "$(echo "$end - $start" | bc)" "$cards" "$(cat "$work/saver.out")"
head -5 "$work/saver.err"
