#!/bin/sh
# manifest_check.sh OBJDUMP PROGRAM: the program carries its manifest as
# resource 1 of type 24, declaring per-monitor DPI awareness (v2), and does
# not ask for the themed common controls: the skin draws over the classic ones.
set -u
OBJDUMP=$1
PROGRAM=$2
if ! "$OBJDUMP" -p "$PROGRAM" | tr -d '\r' | sed -n '/Type Table/,$p' | grep -q 'Entry: ID: 0x000018'; then
  echo "FAIL: $PROGRAM has no manifest resource (type 24)"
  exit 1
fi
if ! grep -a -q '<dpiAwareness[^>]*>PerMonitorV2' "$PROGRAM"; then
  echo "FAIL: the manifest of $PROGRAM does not declare PerMonitorV2"
  exit 1
fi
if grep -a -q 'Microsoft.Windows.Common-Controls' "$PROGRAM"; then
  echo "FAIL: the manifest of $PROGRAM asks for the themed common controls"
  exit 1
fi
echo "ok: $PROGRAM carries its manifest: per-monitor v2, classic controls"
