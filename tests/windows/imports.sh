#!/usr/bin/env bash
# The Windows program stands alone: a GUI-subsystem program (no console pops up for a
# double-click) whose import table names only libraries every Windows has, so no libstdc++,
# libgcc or winpthread DLL has to ship beside it.
#   imports.sh BUILD/windows
. "$(dirname "$0")/../e2e/lib.sh"
. "$(dirname "$0")/lib.sh"
need_program "${1:?usage: imports.sh BUILD/windows}"
objdump=x86_64-w64-mingw32-objdump
need_tools "$objdump"

headers=$("$objdump" -p "$exe") || fail "$objdump cannot read $exe"
grep -q '^Subsystem.*(Windows GUI)' <<<"$headers" || fail "not a GUI-subsystem program: $(grep '^Subsystem' <<<"$headers")"
dlls=$(sed -n 's/^[[:space:]]*DLL Name: //p' <<<"$headers" | tr 'A-Z' 'a-z' | sort -u)
echo "imports:" $dlls
# GL, GLU, GDI, windows and input, the kernel, the sound (winmm) and the C runtime; advapi32 is
# freeglut's, which reads a joystick's name from the registry.
allowed=" opengl32.dll glu32.dll gdi32.dll user32.dll kernel32.dll winmm.dll msvcrt.dll advapi32.dll "
for dll in $dlls; do
    case $dll in
    api-ms-win-crt-*.dll) ;; # the universal C runtime's API sets, when built against it
    *) [[ $allowed == *" $dll "* ]] || fail "imports $dll, which a Windows machine may not have" ;;
    esac
done
for needed in opengl32.dll winmm.dll; do
    grep -qx "$needed" <<<"$dlls" || fail "does not import $needed: the GL or sound is not Windows' own"
done
echo "PASS: a GUI program importing only system libraries"
