#!/usr/bin/env bash
# Runs a command with a CUPS scheduler whose default printer is a PDF queue
# named "PDF"; stops the scheduler afterwards if this script started it.
set -euo pipefail

started=""
if ! lpstat -r 2>/dev/null | grep -q "is running"; then
  /usr/sbin/cupsd -f &
  started=$!
  for _ in $(seq 1 100); do
    lpstat -r 2>/dev/null | grep -q "is running" && break
    sleep 0.1
  done
fi
stop() { [ -n "$started" ] && kill "$started" 2>/dev/null && wait "$started" 2>/dev/null; true; }
trap stop EXIT

if ! lpstat -p PDF >/dev/null 2>&1; then
  lpadmin -p PDF -E -v cups-pdf:/ -m lsb/usr/cups-pdf/CUPS-PDF_opt.ppd \
    -o printer-is-shared=no -o PageSize=a4 -o TitlePref=1
fi
lpadmin -d PDF
"$@"
