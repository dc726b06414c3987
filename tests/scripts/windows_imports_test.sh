#!/bin/sh
# scripts/windows-imports against a stand-in objdump that prints the import
# table of each named program: Windows' own DLLs pass in any letter case,
# anything else fails, and so does a program whose imports cannot be read.
set -u
CHECK="$(cd "$(dirname "$0")/../.." && pwd)/scripts/windows-imports"
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
failures=0

# The stand-in prints "DLL Name: X" for every word in the file named by the
# program's argument, as objdump -p does, or fails like objdump on a missing file.
cat >"$WORK/objdump" <<'STUB'
#!/bin/sh
[ "$1" = -p ] || exit 9
[ -r "$2" ] || { echo "objdump: '$2': No such file"; exit 1; }
echo "$2:     file format pei-x86-64"
echo "The Import Tables (interpreted .idata section contents)"
for dll in $(cat "$2"); do printf '\tDLL Name: %s\n\tvma:  Hint/Ord Member-Name Bound-To\n' "$dll"; done
STUB
chmod +x "$WORK/objdump"

program() {  # program NAME DLL...: a program importing these DLLs
  name=$1; shift
  echo "$@" >"$WORK/$name"
}

# check NAME EXPECTED_EXIT EXPECTED_LINE PROGRAM...
check() {
  name=$1 want=$2 line=$3; shift 3
  code=0
  out=$(cd "$WORK" && OBJDUMP="$WORK/objdump" sh "$CHECK" "$@" 2>&1) || code=$?
  if [ "$code" != "$want" ] || ! printf '%s\n' "$out" | grep -qxF -- "$line"; then
    echo "FAIL: $name: exit $code (want $want)"
    echo "  output: $out"
    echo "  want line: $line"
    failures=$((failures + 1))
  else
    echo "ok: $name"
  fi
}

program window.exe KERNEL32.dll USER32.dll GDI32.dll msimg32.dll COMCTL32.dll comdlg32.dll \
  ole32.dll OLEAUT32.dll SHELL32.dll SETUPAPI.dll hid.dll ADVAPI32.dll msvcrt.dll
program ucrt.exe KERNEL32.dll api-ms-win-crt-runtime-l1-1-0.dll api-ms-win-crt-heap-l1-1-0.dll
program dynamic.exe KERNEL32.dll libstdc++-6.dll msvcrt.dll
program threads.exe KERNEL32.dll libwinpthread-1.dll
program lookalike.exe KERNEL32.dll hidapi.dll
program upper.exe KERNEL32.DLL MSVCRT.DLL
program none.exe

check "Windows' own DLLs pass" 0 \
  "windows-imports: window.exe: KERNEL32.dll USER32.dll GDI32.dll msimg32.dll COMCTL32.dll comdlg32.dll ole32.dll OLEAUT32.dll SHELL32.dll SETUPAPI.dll hid.dll ADVAPI32.dll msvcrt.dll" \
  window.exe
check "the universal C runtime's API sets pass" 0 \
  "windows-imports: ucrt.exe: KERNEL32.dll api-ms-win-crt-runtime-l1-1-0.dll api-ms-win-crt-heap-l1-1-0.dll" ucrt.exe
check "letter case does not matter" 0 "windows-imports: upper.exe: KERNEL32.DLL MSVCRT.DLL" upper.exe
check "the C++ runtime as a DLL fails" 1 \
  "windows-imports: dynamic.exe imports libstdc++-6.dll, which does not come with Windows" dynamic.exe
check "the thread library as a DLL fails" 1 \
  "windows-imports: threads.exe imports libwinpthread-1.dll, which does not come with Windows" threads.exe
check "a name that only begins like a system DLL fails" 1 \
  "windows-imports: lookalike.exe imports hidapi.dll, which does not come with Windows" lookalike.exe
check "a program without imports fails" 1 \
  "windows-imports: none.exe: no imported DLL found; is it a Windows program?" none.exe
check "an unreadable program fails" 1 \
  "windows-imports: missing.exe: $WORK/objdump could not read it: objdump: 'missing.exe': No such file" missing.exe
check "a bad program after a good one fails" 1 \
  "windows-imports: threads.exe imports libwinpthread-1.dll, which does not come with Windows" window.exe threads.exe
check "a good program after a bad one is still listed" 1 \
  "windows-imports: window.exe: KERNEL32.dll USER32.dll GDI32.dll msimg32.dll COMCTL32.dll comdlg32.dll ole32.dll OLEAUT32.dll SHELL32.dll SETUPAPI.dll hid.dll ADVAPI32.dll msvcrt.dll" \
  dynamic.exe window.exe

[ "$failures" -eq 0 ]
