#!/bin/sh
# tavio.exe driven from outside, as a user would: under Wine on an X display,
# xdotool reads the title, types 1500 into the hold time field, tabs out,
# clicks "Store on ESC", confirms the box and closes the window; then
# tavio-cli.exe reads the simulated ESC's memory file back and the hold time
# must be 1500 there.
#   e2e_store.sh TAVIO_EXE TAVIO_CLI_EXE WORK_DIR
# Environment: WINE (the wine program), optional DISPLAY (else xvfb-run).
set -eu
TAVIO=$1
CLI=$2
WORK=$3
WINE=${WINE:-wine}

if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1400x900x24" sh "$0" "$@"
fi

mkdir -p "$WORK"
WORK=$(cd "$WORK" && pwd)
# A prefix of this test's own: its server starts with this display, and
# windows are neither managed nor decorated by an X window manager, so
# closing one does not stall.
WINEPREFIX="$WORK/prefix"
WINEDEBUG=-all
WINEDLLOVERRIDES="mscoree,mshtml="
export WINEPREFIX WINEDEBUG WINEDLLOVERRIDES
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  "$WINE" wineboot --init >/dev/null 2>&1 || true
  for key in Managed Decorated; do
    "$WINE" reg add 'HKCU\Software\Wine\X11 Driver' /v "$key" /d N /f >/dev/null 2>&1
  done
  mkdir -p "$WINEPREFIX/drive_c/windows/Fonts"
  cp /usr/share/wine/fonts/* "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null || true
  wineserver -w
fi

fail() {
  echo "e2e: FAILED: $*" >&2
  wineserver -k 2>/dev/null || true
  exit 1
}

# Waits up to 30 s for a visible window of process $1 whose name is $2.
window_of() {
  i=0
  while [ $i -lt 300 ]; do
    for w in $(xdotool search --onlyvisible --pid "$1" 2>/dev/null); do
      if [ "$(xdotool getwindowname "$w" 2>/dev/null)" = "$2" ]; then
        echo "$w"
        return 0
      fi
    done
    sleep 0.1
    i=$((i + 1))
  done
  return 1
}

# Paths relative to the work folder: the programs read an argument that
# starts with "/" as a Windows-style option.
cd "$WORK"
ESC=esc.eeprom
rm -f "$ESC" read.bin
"$WINE" "$TAVIO" --simulate BRENTA:160:0x0401 --sim-eeprom "$ESC" &
PID=$!
TITLE="TAVIO (Version 01.02.00): Connected with BRENTA 160"
MAIN=$(window_of "$PID" "$TITLE") || fail "no window titled '$TITLE'"
echo "e2e: title: $(xdotool getwindowname "$MAIN")"

# The X window holds the whole Win32 window, 1240 x 690 with its frame:
# Wine's edges for this window's styles at 96 dpi put the client area 5
# pixels in from the left and 24 down (caption and edges).
eval "$(xdotool getwindowgeometry --shell "$MAIN")"
[ "$WIDTH" = 1240 ] && [ "$HEIGHT" = 690 ] || fail "a window of $WIDTH x $HEIGHT, not 1240 x 690"
LEFT=$(( X + 5 ))
TOP=$(( Y + 24 ))

# The hold time field: client (510, 260), 80 x 25.
xdotool mousemove $((LEFT + 550)) $((TOP + 272)) click 1
sleep 0.3
xdotool key End BackSpace BackSpace BackSpace BackSpace BackSpace BackSpace BackSpace BackSpace
xdotool type --delay 50 1500
xdotool key Tab
sleep 0.3
# "Store on ESC": client (1020, 265), 200 x 40.
xdotool mousemove $((LEFT + 1120)) $((TOP + 285)) click 1
BOX=$(window_of "$PID" "") || fail "no box after Store on ESC"
xdotool key Return
i=0
while xdotool getwindowname "$BOX" >/dev/null 2>&1 && [ $i -lt 50 ]; do sleep 0.1; i=$((i + 1)); done

# Alt+F4 is the system menu's Close; the ESC holds what is shown, so the
# window asks nothing. Only the presses are sent: the window may be gone
# before the releases, and xdotool ends with BadWindow on those. Whether it
# closed is checked below.
xdotool keydown --window "$MAIN" alt+F4
i=0
while kill -0 "$PID" 2>/dev/null && [ $i -lt 100 ]; do sleep 0.1; i=$((i + 1)); done
kill -0 "$PID" 2>/dev/null && fail "tavio.exe did not end after Alt+F4"
wait "$PID" || fail "tavio.exe ended with $?"

"$WINE" "$CLI" --simulate BRENTA:160:0x0401 --sim-eeprom "$ESC" read read.bin >/dev/null ||
  fail "tavio-cli.exe could not read the ESC back"
# The file is the family word, then the block; the hold time is at 0x12 of the block.
HOLD=$(od -An -tu2 -j 20 -N 2 read.bin | tr -d ' ')
echo "e2e: hold time read back: $HOLD"
wineserver -k 2>/dev/null || true
[ "$HOLD" = 1500 ] || fail "expected 1500"
echo "e2e: passed"
