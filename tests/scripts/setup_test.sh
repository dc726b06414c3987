#!/bin/sh
# scripts/setup against stand-ins for id, dpkg-query, locale, apt-get and
# sudo on a PATH of its own: as root it needs no sudo, as anyone else it
# uses sudo or says plainly why it cannot go on; apt's output is shown.
set -u
SETUP="$(cd "$(dirname "$0")/../.." && pwd)/scripts/setup"
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
failures=0

mkdir "$WORK/tools"
for tool in sh grep env dirname cat; do ln -s "$(command -v $tool)" "$WORK/tools/$tool"; done
stub() {  # stub NAME BODY
  printf '#!/bin/sh\n%s\n' "$2" >"$WORK/tools/$1"
  chmod +x "$WORK/tools/$1"
}
stub id 'echo "$FAKE_UID"'
# Every package is there but those listed in $MISSING.
stub dpkg-query 'for a; do p=$a; done; case " $MISSING " in *" $p "*) exit 1;; esac; echo "install ok installed"'
stub locale 'echo de_DE.utf8'
stub apt-get 'echo "apt-get $*" >>"$LOG"; echo "Reading package lists... (apt $1)"'
stub localedef 'echo "localedef $*" >>"$LOG"'
with_sudo() { stub sudo 'echo "sudo $*" >>"$LOG"; exec "$@"'; }
without_sudo() { rm -f "$WORK/tools/sudo"; }

# run NAME UID MISSING EXPECTED_EXIT EXPECTED_LOG EXPECTED_OUTPUT_LINE
run() {
  : >"$WORK/log"
  code=0
  out=$(env -i PATH="$WORK/tools" LOG="$WORK/log" FAKE_UID="$2" MISSING="$3" sh "$SETUP" 2>&1) || code=$?
  log=$(cat "$WORK/log")
  if [ "$code" != "$4" ] || [ "$log" != "$5" ] || ! printf '%s\n' "$out" | grep -qxF "$6"; then
    echo "FAIL: $1: exit $code (want $4)"
    echo "  log: $log"
    echo "  want log: $5"
    echo "  output: $out"
    echo "  want line: $6"
    failures=$((failures + 1))
  else
    echo "ok: $1"
  fi
}

apt_calls="apt-get update
apt-get install -y --no-install-recommends libcli11-dev file"
without_sudo
run "root without sudo installs directly" 0 "file libcli11-dev" 0 "$apt_calls" "scripts/setup: installing libcli11-dev file"
run "apt's progress is shown" 0 "file" 0 "apt-get update
apt-get install -y --no-install-recommends file" "Reading package lists... (apt install)"
run "the Windows tools are installed too, in the list's order" 0 "nsis wine64 g++-mingw-w64-i686-posix fonts-wine" 0 "apt-get update
apt-get install -y --no-install-recommends g++-mingw-w64-i686-posix wine64 fonts-wine nsis" "scripts/setup: installing g++-mingw-w64-i686-posix wine64 fonts-wine nsis"
run "nothing missing: apt is not called" 0 "" 0 "" "scripts/setup: every package is installed"
run "a user without sudo is told what to do" 1000 "file" 1 "" "Run it as root instead, for example: su -c ./scripts/setup"
with_sudo
run "a user with sudo goes through sudo" 1000 "file" 0 "sudo env DEBIAN_FRONTEND=noninteractive apt-get update
apt-get update
sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends file
apt-get install -y --no-install-recommends file" "scripts/setup: installing file"
stub locale 'echo C.utf8'
run "a missing German locale is made" 0 "" 0 "localedef -i de_DE -f UTF-8 de_DE.UTF-8" "scripts/setup: making the de_DE.UTF-8 locale"

[ "$failures" -eq 0 ]
