#!/usr/bin/env bash
# Lays out the Windows folder in OUT (scripts/release.sh zips it): bin/intro.exe from
# scripts/build-windows.sh (build-windows/) with the DLLs it needs beyond Windows' own,
# data/ the default data, a short README.txt and LICENSES/. intro.exe lies in bin/
# because it reads "..\data\" from the folder it starts in, which a double-click makes
# its own folder.
# Exits 3, saying why, when the cross compiler is missing: then there is no zip.
# usage: scripts/release-windows.sh DATA_DIR OUT
set -euo pipefail
[ $# -eq 2 ] || { sed -n '2,8p' "$0" | sed 's/^# \{0,1\}//'; [ "${1:-}" = --help ]; exit; }
root=$(cd "$(dirname "$(realpath "$0")")/.." && pwd)
data=$1
out=$2
skip() { echo "release: skipping the Windows zip: $*" >&2; exit 3; }
cd "$root"

command -v x86_64-w64-mingw32-g++-posix >/dev/null || skip "no mingw-w64 cross compiler (scripts/setup-deps.sh windows installs it)"
echo "release: the Windows zip (build-windows/)" >&2
scripts/build-windows.sh intro >&2 || { echo "release-windows: the Windows build failed" >&2; exit 1; }
exe=build-windows/intro.exe
[ -f "$exe" ] || { echo "release-windows: the intro target built no $exe" >&2; exit 1; }

rm -rf "$out"
mkdir -p "$out/bin"
cp "$exe" "$out/bin/intro.exe"
x86_64-w64-mingw32-strip --strip-debug "$out/bin/intro.exe"

# DLLs the program names that Windows does not bring: looked for in the build folder and
# the cross compiler's runtime folders, and their own needs in turn.
dlls() { x86_64-w64-mingw32-objdump -p "$1" | sed -n 's/^\s*DLL Name: //p'; }
is_windows_dll() {
    case "$(echo "$1" | tr '[:upper:]' '[:lower:]')" in
        kernel32.dll | user32.dll | gdi32.dll | opengl32.dll | winmm.dll | ole32.dll | oleaut32.dll | \
        shell32.dll | shlwapi.dll | advapi32.dll | imm32.dll | version.dll | setupapi.dll | cfgmgr32.dll | msvcrt.dll | \
        ws2_32.dll | dwmapi.dll | uxtheme.dll | avrt.dll | ksuser.dll | api-ms-win-*) return 0 ;;
    esac
    return 1
}
search_dirs=(build-windows $(ls -d /usr/lib/gcc/x86_64-w64-mingw32/*-posix 2>/dev/null) /usr/x86_64-w64-mingw32/lib
             /usr/x86_64-w64-mingw32/bin ${INTRO_WINDOWS_DLL_DIRS:-})
queue=("$out/bin/intro.exe")
while [ ${#queue[@]} -gt 0 ]; do
    pe=${queue[0]}
    queue=("${queue[@]:1}")
    for dll in $(dlls "$pe"); do
        is_windows_dll "$dll" && continue
        [ -e "$out/bin/$dll" ] && continue
        found=$(find "${search_dirs[@]}" -maxdepth 3 -iname "$dll" -print -quit 2>/dev/null || true)
        [ -n "$found" ] || { echo "release-windows: intro.exe needs $dll, found nowhere" >&2; exit 1; }
        cp "$found" "$out/bin/$dll"
        queue+=("$out/bin/$dll")
    done
done
cp -R "$data" "$out/data"
# The notices of what is linked in: libmpg123 (from the cache the build used), the C
# runtime with its threads, and GCC's C++ runtime.
mkdir -p "$out/LICENSES"
prefix=$(scripts/build-windows-deps.sh)
cp "$prefix/share/licenses/mpg123-COPYING" "$out/LICENSES/libmpg123.COPYING"
for package in mingw-w64-x86-64-dev gcc-mingw-w64-base; do
    cp "/usr/share/doc/$package/copyright" "$out/LICENSES/$package.copyright"
done
version=$(scripts/version.sh)
sed 's/$/\r/' >"$out/README.txt" <<EOF
intro $version for Windows (64-bit)

A self-running audiovisual intro: one window, one MP3 track, a two-minute show drawn in
a canvas of 64 x 64 pixels. Double-click bin\\intro.exe, or start it from bin\\: it reads
its pictures and music from ..\\data\\ seen from the folder it starts in, the data\\
folder beside bin\\.

  cd bin
  intro.exe                      full screen over every monitor; Escape ends it
  intro.exe -f1 -w640 -h360      a 640 x 360 window with a caption

Options: -f1 a captioned window with the cursor; -wN -hN the window size (0: the whole
screen); -xN -yN its position. Replace the files in data\\ to make the show your own.
EOF
