#!/usr/bin/env bash
# Two users of one group share one program folder prepared as the README says
# (group ownership, set-group-ID folder): both save cards and label pages, each
# sees the other's, nothing is lost, and every file is writable by the group.
# Needs root to make the two users; skipped otherwise.
set -u
driver=$1
if [ "$(id -u)" -ne 0 ] || ! command -v useradd >/dev/null || ! command -v setpriv >/dev/null; then
  echo "SKIP: needs root, useradd and setpriv"
  exit 0
fi
group=tvxshare$$
users=(tvxa$$ tvxb$$)
folder=$(mktemp -d /tmp/tavolux-shared.XXXXXX)
cleanup() {
  for u in "${users[@]}"; do userdel "$u" >/dev/null 2>&1; done
  groupdel "$group" >/dev/null 2>&1
  rm -rf "$folder"
}
trap cleanup EXIT
groupadd "$group" || exit 1
for u in "${users[@]}"; do useradd -M -N -g "$group" -s /usr/sbin/nologin "$u" || exit 1; done
chgrp "$group" "$folder" && chmod 2770 "$folder"

as() { # user, then the command; each user keeps the common private umask 022
  local u=$1; shift
  (umask 022; setpriv --reuid="$u" --regid="$group" --init-groups env HOME=/tmp XDG_RUNTIME_DIR=/tmp \
     QT_QPA_PLATFORM=offscreen "$@")
}
fail() { echo "FAIL: $*"; exit 1; }

n=20
as "${users[0]}" "$driver" "$folder" save A $n || fail "user A could not save"
as "${users[1]}" "$driver" "$folder" save B $n || fail "user B could not save in A's files"
as "${users[0]}" "$driver" "$folder" save A $n || fail "user A could not save after B"
for u in "${users[@]}"; do
  [ "$(as "$u" "$driver" "$folder" count A)" = "$((2 * n)) $((2 * n))" ] || fail "$u does not see A's cards and pages"
  [ "$(as "$u" "$driver" "$folder" count B)" = "$n $n" ] || fail "$u does not see B's cards and pages"
done
cards=$(stat -c %s "$folder/Archivio_Indirizzi.pro")
[ "$cards" -eq $((3 * n * 3765)) ] || fail "the address archive holds $cards bytes"
for f in "$folder"/*; do
  perms=$(stat -c %A "$f")
  [ "${perms:5:1}" = w ] || fail "$(basename "$f") is not writable by the group ($perms)"
  [ "$(stat -c %G "$f")" = "$group" ] || fail "$(basename "$f") does not belong to the group"
done
echo "PASS: two users, $((3 * n)) cards and $((3 * n)) pages, all seen by both"
