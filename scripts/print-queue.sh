#!/usr/bin/env bash
# Starts (or stops) the CUPS scheduler and the cups-pdf queue that the printing
# tests print through.
#
#   eval "$(scripts/print-queue.sh start)"   # then run ctest
#   scripts/print-queue.sh stop
#
# `start` writes to stdout the shell lines that tell the tests the queue's name
# and the folder where cups-pdf leaves the PDF files; everything else goes to
# stderr. `stop` undoes only what `start` did: it removes the queue if it
# created it and stops the scheduler if it started it.
#
# Where cups-pdf writes: the queue's device is cups-pdf:/TavoluxPDF, so the
# backend reads /etc/cups/cups-pdf-TavoluxPDF.conf instead of cups-pdf.conf.
# That file sets Out to /var/spool/cups-pdf/${USER}, which is also the backend's
# built-in default, so the folder stays the same where a security profile keeps
# the backend from reading the file. The file name comes from the job title
# (TitlePref=1), blanks and other special characters turned into "_", followed
# by "-job_<id>" (Label=2): "Pagina Etichette" gives Pagina_Etichette-job_7.pdf.
set -euo pipefail

queue=TavoluxPDF
user=$(id -un)
output=/var/spool/cups-pdf/$user
conf=/etc/cups/cups-pdf-$queue.conf
state=${TMPDIR:-/tmp}/tavolux-print-queue-$(id -u).state

as_root=()
[ "$(id -u)" -eq 0 ] || as_root=(sudo)

say() { echo "print-queue: $*" >&2; }

scheduler_running() { LC_ALL=C lpstat -r 2>/dev/null | grep -q 'scheduler is running'; }

find_ppd() {
  local ppd
  for ppd in /usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd /usr/share/ppd/cups-pdf/CUPS-PDF_noopt.ppd; do
    [ -r "$ppd" ] && { echo "$ppd"; return 0; }
  done
  ppd=$(find /usr/share/ppd /usr/share/cups/model -iname 'CUPS-PDF*.ppd*' 2>/dev/null | head -n1 || true)
  [ -n "$ppd" ] && { echo "$ppd"; return 0; }
  return 1
}

start() {
  if [ -e "$state" ]; then
    say "already started (state in $state)"
  else
    : >"$state"
  fi

  if ! scheduler_running; then
    if [ -d /run/systemd/system ] && command -v systemctl >/dev/null; then
      "${as_root[@]}" systemctl start cups >&2
      echo "started_service=cups" >>"$state"
    else
      "${as_root[@]}" /usr/sbin/cupsd -f </dev/null >/dev/null 2>&1 &
      echo "started_pid=$!" >>"$state"
    fi
    for _ in $(seq 1 50); do
      scheduler_running && break
      sleep 0.2
    done
    scheduler_running || { say "the CUPS scheduler did not start"; exit 1; }
    say "CUPS scheduler started"
  fi

  if [ ! -e "$conf" ]; then
    printf '%s\n' "# Written by Tavolux's scripts/print-queue.sh for the printing tests." \
      'Out /var/spool/cups-pdf/${USER}' 'TitlePref 1' 'Label 2' |
      "${as_root[@]}" tee "$conf" >/dev/null
    echo "created_conf=$conf" >>"$state"
  fi

  if ! lpstat -p "$queue" >/dev/null 2>&1; then
    local ppd
    ppd=$(find_ppd) || { say "no cups-pdf PPD found (package printer-driver-cups-pdf)"; exit 1; }
    "${as_root[@]}" lpadmin -p "$queue" -E -v "cups-pdf:/$queue" -P "$ppd" 2> >(grep -v 'deprecated' >&2)
    echo "created_queue=$queue" >>"$state"
    say "queue $queue created"
  fi
  # A4 paper; the file named after the job title; PostScript made with
  # pdftocairo, which keeps the text readable (the default renderer turns the
  # fonts into shapes that pdftotext cannot read back).
  "${as_root[@]}" lpadmin -p "$queue" -o PageSize=A4 -o TitlePref=1 -o Label=2 \
    -o pdftops-renderer-default=pdftocairo
  "${as_root[@]}" cupsenable "$queue"
  "${as_root[@]}" cupsaccept "$queue"
  "${as_root[@]}" mkdir -p "$output"

  echo "export TAVOLUX_PRINT_QUEUE=$queue"
  echo "export TAVOLUX_PRINT_OUTPUT=$output"
}

stop() {
  [ -e "$state" ] || { say "nothing to stop"; return 0; }
  local line
  while IFS= read -r line; do
    case "$line" in
      created_queue=*)
        "${as_root[@]}" cancel -a -x "${line#*=}" 2>/dev/null || true
        "${as_root[@]}" lpadmin -x "${line#*=}" || true
        ;;
    esac
  done <"$state"
  while IFS= read -r line; do
    case "$line" in
      created_conf=*) "${as_root[@]}" rm -f "${line#*=}" ;;
      started_service=*) "${as_root[@]}" systemctl stop "${line#*=}" || true ;;
      started_pid=*)
        pid=${line#*=}
        if kill -0 "$pid" 2>/dev/null; then
          "${as_root[@]}" kill "$pid" || true
          for _ in $(seq 1 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
        fi
        ;;
    esac
  done <"$state"
  rm -f "$state"
  say "stopped"
}

case "${1:-start}" in
  start) start ;;
  stop) stop ;;
  *) echo "usage: $0 start|stop" >&2; exit 2 ;;
esac
