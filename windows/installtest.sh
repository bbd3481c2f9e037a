#!/usr/bin/env bash
# The Windows install as an agency's PC meets it, under Wine in a fresh
# prefix: the installer run silently; velmoran-cli.exe's --version,
# import-sheet, find, export and backup on the data folder; the program's
# login screen on a virtual display (a screenshot kept in OUT); the old
# program's C:\VELMORAN\newil.mdb brought over at the first start; and the
# uninstaller leaving the listings.
# Usage: windows/installtest.sh SETUP.exe OUT_DIR
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
setup="$(realpath "$1")"
out="$(realpath -m "$2")"
mkdir -p "$out"
work="$(mktemp -d /tmp/velmoran-installtest.XXXXXX)"
display=":$((90 + RANDOM % 100))"
cleanup() {
    WINEPREFIX="$work/prefix" wineserver -k 2>/dev/null || true
    [ -n "${xvfb:-}" ] && kill "$xvfb" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT
export WINEPREFIX="$work/prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" DISPLAY="$display"
Xvfb "$display" -screen 0 1280x800x24 > /dev/null 2>&1 &
xvfb=$!
step() { echo "== $*"; }
# Waits for the program's first window, then a moment for it to paint.
window_shown() {
    for _ in $(seq 60); do
        xdotool search --onlyvisible --name . > /dev/null 2>&1 && break
        sleep 1
    done
    sleep "$1"
}
fail() { echo "FAILED: $*" >&2; exit 1; }

step "a fresh prefix"
wineboot -i > "$work/wineboot.log" 2>&1
# Wine says Windows 7 unless told otherwise; the installer wants 10 (1809).
wine winecfg -v win10
user="$(id -un)"
local="$WINEPREFIX/drive_c/users/$user/AppData/Local"
program="$local/Programs/velmoran"
data="$local/velmoran"

step "1. the installer, silent"
wine "$setup" /S
[ -f "$program/velmoran.exe" ] && [ -f "$program/velmoran-cli.exe" ] || fail "nothing installed in $program"
[ -f "$program/uninstall.exe" ] || fail "no uninstaller"
wine reg query 'HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\velmoran' > "$work/reg.txt" 2>&1 ||
    fail "no entry among the installed apps"
ls "$WINEPREFIX/drive_c/users/$user/AppData/Roaming/Microsoft/Windows/Start Menu/Programs/"*.lnk > /dev/null ||
    fail "no Start-menu entry"

cli() { wine "$program/velmoran-cli.exe" "$@"; }
step "2. velmoran-cli.exe"
version="$(cli --version | tr -d '\r')"
echo "$version" | grep -q "velmoran-cli" || fail "--version said: $version"
cp "$here/tests/fixtures/sheets/libreoffice.xlsx" "$work/فایل ها.xlsx"
cli import-sheet "Z:$work/فایل ها.xlsx" | tr -d '\r' | tail -3
[ -f "$data/newil.db" ] || fail "import-sheet made no store in $data"
found="$(cli find --csv | tr -d '\r' | wc -l)"
[ "$found" -gt 1 ] || fail "find found nothing after the import"
cli export "Z:$work/export.xlsx" | tr -d '\r' | tail -1
[ -s "$work/export.xlsx" ] || fail "export wrote nothing"
cli backup | tr -d '\r' | tail -1
ls "$data/backups/"*.db > /dev/null || fail "backup made no file"

step "3. the program's login screen"
(cd "$program" && wine ./velmoran.exe > "$work/program.log" 2>&1 &)
window_shown 8
import -display "$display" -window root "$out/login.png"
xdotool search --onlyvisible --name . > /dev/null 2>&1 || fail "no window shown"
wineserver -k || true
sleep 2

step "4. the old program's C:\\VELMORAN at the first start"
rm -rf "$data"
mkdir -p "$WINEPREFIX/drive_c/VELMORAN"
perl -0777 -pe 's/T\0a\0b\0l\0e\0/n\0e\0w\0\0\0\0\0/g; s/U\0n\0i\0c\0o\0d\0e\0/m\0a\0l\0e\0k\0\0\0\0\0/g' \
    "$here/tests/fixtures/mdb/testUnicodeCompV2003.mdb" > "$WINEPREFIX/drive_c/VELMORAN/NEWIL.MDB"
before="$(sha256sum < "$WINEPREFIX/drive_c/VELMORAN/NEWIL.MDB")"
(cd "$program" && wine ./velmoran.exe > "$work/program2.log" 2>&1 &)
# The offer to bring the files over: Yes is its default button.
window_shown 6
import -display "$display" -window root "$out/offer.png"
xdotool key Return
for _ in $(seq 60); do
    [ -f "$data/newil.db" ] && break
    sleep 1
done
sleep 4
import -display "$display" -window root "$out/brought-over.png"
wineserver -k || true
[ -f "$data/newil.db" ] || fail "C:\\VELMORAN\\NEWIL.MDB was not brought over"
rows="$(sqlite3 "$data/newil.db" 'SELECT count(*) FROM new')"
[ "$rows" = 8 ] || fail "brought over $rows listings of 8"
[ "$(sha256sum < "$WINEPREFIX/drive_c/VELMORAN/NEWIL.MDB")" = "$before" ] || fail "the Access file was changed"

step "5. the uninstaller leaves the data"
wine "$program/uninstall.exe" /S
for _ in $(seq 60); do
    [ ! -e "$program/velmoran.exe" ] && break
    sleep 1
done
[ ! -e "$program/velmoran.exe" ] || fail "the program is still installed"
[ -f "$data/newil.db" ] || fail "the uninstaller took the listings"
echo "5 passed, 0 failed"
