#!/usr/bin/env bash
# The Windows release from a user's side, under Wine on a virtual display:
# build the zip and the installer, install silently into a fresh Wine prefix,
# check the layout, start Vellora.exe through its Start-menu shortcut, let a
# loopback server that cuts its download off leave Vellora.exe untouched,
# let one that offers a newer Vellora.exe update it through VLRUpdate.exe
# (screenshot of the updater window into docs/screens/), then uninstall
# silently and check that the user's keys stay.
#   scripts/test-release.sh      (VELLORA_SCREENS=1 also renews docs/screens/vlrupdate-window.png)
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

if [ -z "${VELLORA_RELEASE_INNER:-}" ]; then
  cmake --preset mingw >/dev/null
  cmake --build --preset mingw --target dist release_marker window_probe
  export VELLORA_RELEASE_INNER=1
  exec xvfb-run -a -s "-screen 0 1024x768x24" "$0" "$@"
fi

work=$root/build/release-e2e
export WINEPREFIX=$work/prefix LANG=ko_KR.UTF-8 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
server_pid=""
install=""
cleanup() {
  [ -n "$server_pid" ] && kill "$server_pid" 2>/dev/null || true
  wineserver -k 2>/dev/null || true
}
trap cleanup EXIT
fail() {
  echo "FAIL: $*" >&2
  for log in "$install/Update/VLRUpdate.log" "$install/Update/NetDownLoader.log"; do
    [ -f "$log" ] && { echo "--- $log"; iconv -f cp949 -t utf-8 -c "$log"; } >&2
  done
  exit 1
}
# Waits up to $1 seconds for the command that follows to succeed.
wait_for() {
  local seconds=$1
  shift
  for _ in $(seq $((seconds * 5))); do
    "$@" && return 0
    sleep 0.2
  done
  return 1
}
log_has() { [ -f "$1" ] && iconv -f cp949 -t utf-8 -c "$1" | grep -qF -- "$2"; }

version=$(sed -n 's/^project(Vellora VERSION \([0-9]*\.[0-9]*\.[0-9]*\).*/\1/p' CMakeLists.txt)
setup=$root/build/mingw/dist/Vellora-$version-win64-setup.exe
marker_program=$root/build/mingw/tests/dist/release_marker.exe
probe=$root/build/mingw/tests/dist/window_probe.exe
# The window's texts as the probe saw them.
probe_saw() { [ -f "$work/$1" ] && grep -qxF -- "$2" "$work/$1"; }
[ -f "$setup" ] || fail "no installer at $setup"

echo "== the programs: window programs (no console) with version resources"
stage=$root/build/mingw/dist/stage/Vellora
for program in Vellora.exe Update/VLRUpdate.exe; do
  headers=$(x86_64-w64-mingw32-objdump -p "$stage/$program")
  grep -q 'Subsystem.*Windows GUI' <<<"$headers" || fail "$program is not a window program"
  texts=$(strings -el "$stage/$program")
  grep -qx 'FileVersion' <<<"$texts" || fail "$program has no version resource"
  grep -qx '2\.0\.0\.0' <<<"$texts" || fail "$program is not version 2.0.0.0"
done

echo "== fresh Wine prefix"
rm -rf "$work"
mkdir -p "$work/served/down"
wineboot --init >/dev/null 2>&1
# The dialogs ask for Gulim fonts and the captions for Tahoma; Nanum fonts,
# which hold Hangul, stand in for them.
for face in 굴림 Tahoma; do
  wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v "$face" /d NanumGothic /f >/dev/null 2>&1
done
wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v 굴림체 /d NanumGothicCoding /f >/dev/null 2>&1

# The caption buttons are drawn with Marlett, which Wine keeps in its own
# font folder.
[ -f /usr/share/wine/fonts/marlett.ttf ] && cp /usr/share/wine/fonts/marlett.ttf "$WINEPREFIX/drive_c/windows/Fonts/"
# No window manager on the virtual display: Wine draws the frames itself.
wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1

echo "== silent installation"
wine "$setup" /S
wineserver -w
install=$WINEPREFIX/drive_c/users/$(whoami)/AppData/Local/Programs/Vellora
menu="$WINEPREFIX/drive_c/users/$(whoami)/AppData/Roaming/Microsoft/Windows/Start Menu/Programs/Vellora"
for item in Vellora.exe Update/VLRUpdate.exe Update/VLR.ini Banner/VLRBanner.ini res/StartPage.bmp \
            Uninstall.exe; do
  [ -f "$install/$item" ] || fail "installed tree lacks $item"
done
for folder in Log Key res Banner Update; do
  [ -d "$install/$folder" ] || fail "installed tree lacks the folder $folder"
done
[ -f "$menu/Vellora 벨로라.lnk" ] || fail "no Start-menu shortcut"
wine reg query 'HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Vellora' /v UninstallString \
  >/dev/null 2>&1 || fail "no entry in the user's installed programs"
cp "$install/Vellora.exe" "$work/original-Vellora.exe"
echo "installed: $(cd "$install" && find . -type f | sort | tr '\n' ' ')"

echo "== Vellora.exe from its shortcut (placeholder server: starts quietly)"
wine start /unix "$menu/Vellora 벨로라.lnk"
started() { winedbg --command "info proc" 2>/dev/null | grep -qi 'Vellora.exe'; }
wait_for 30 started || fail "Vellora.exe did not start from its shortcut"
sleep 3
started || fail "Vellora.exe ended at once with the placeholder configuration"
wineserver -k
sleep 1

echo "== loopback update server"
/usr/bin/python3 tests/netdown/test_server.py http "$work/served" --port-file "$work/port" --limit 600 \
  </dev/null >/dev/null 2>&1 &
server_pid=$!
wait_for 10 test -s "$work/port" || fail "update server did not start"
port=$(cat "$work/port")
cp "$marker_program" "$work/served/down/Vellora.exe"
configure() {  # $1: remote path of Vellora.exe in the version list, $2: its options
  printf '[SERVER]\r\nRemote Address=127.0.0.1\r\nProtocol=HTTP\r\nRemote Port=%s\r\nRemote Version File=/down/VersionInfo.txt\r\n[LOCAL]\r\nLocal Version File=.\\VersionInfo.txt\r\nDefault Exec File=..\\Vellora.exe\r\n' \
    "$port" >"$install/Update/VLR.ini"
  printf '; modules\r\n..\\Vellora.exe|%s|%s\r\n' "$1" "$2" >"$work/served/down/VersionInfo.txt"
  rm -f "$install/Update/VLRUpdate.log" "$install/Update/NetDownLoader.log"
}

echo "== a download cut off leaves Vellora.exe as it was"
# The server's copy is older than the installed one, so Vellora.exe itself
# sees no update; the updater is forced to fetch it and gets half.
touch -d '2020-01-01 00:00' "$work/served/down/Vellora.exe"
configure /cut/down/Vellora.exe F
(cd "$install/Update" && wine VLRUpdate.exe) &
wait_for 60 log_has "$install/Update/VLRUpdate.log" "LaunchModule" || fail "updater did not finish"
log_has "$install/Update/VLRUpdate.log" "DownloadNewFiles : DownloadFile(/cut/down/Vellora.exe->..\\Vellora.exe) ERROR" \
  || fail "the cut download was not logged as failed"
cmp "$install/Vellora.exe" "$work/original-Vellora.exe" || fail "Vellora.exe changed after a cut download"
sleep 2
wineserver -k
sleep 1

echo "== a newer Vellora.exe on the server: Vellora starts the updater, which replaces it"
touch -d '+1 hour' "$work/served/down/Vellora.exe"
configure /slow/down/Vellora.exe E
rm -f "$install/updated.marker"
wine "$probe" "$(winepath -w "$work/texts.txt")" --keys --about &
probe_pid=$!
sleep 1
wine start /unix "$menu/Vellora 벨로라.lnk"
wait_for 60 log_has "$install/Update/VLRUpdate.log" "CompareVersionInfo" || fail "Vellora did not start the updater"
sleep 1.2
mkdir -p docs/screens
# The window alone: the desktop around it is one colour.
import -window root "$work/screen.png"
convert "$work/screen.png" -trim +repage "$work/updater.png"
wait_for 60 test -f "$install/updated.marker" || fail "the new Vellora.exe was not started"
cmp "$install/Vellora.exe" "$marker_program" || fail "Vellora.exe is not the server's copy"
grep -q "started in" "$install/updated.marker" || fail "marker without its working folder"
log_has "$install/Update/VLRUpdate.log" "DownloadNewFiles : DownloadFile(/slow/down/Vellora.exe->..\\Vellora.exe) OK" \
  || fail "VLRUpdate.log lacks the download"
log_has "$install/Update/VLRUpdate.log" "LaunchModule : _ExecuteApp(..\\Vellora.exe , ) OK" \
  || fail "VLRUpdate.log lacks the launch"
log_has "$install/Update/NetDownLoader.log" "Download complete : /slow/down/Vellora.exe -> ..\\Vellora.exe" \
  || fail "NetDownLoader.log lacks the download"
wait "$probe_pid" || true
size=$(stat -c %s "$marker_program")
for line in "caption: Vellora 파일 암호화 [파일과 메시지를 암호화하고 안전하게 공유합니다.]" \
            "status: 설정파일을 읽어드립니다." \
            "status: 업데이트 서버에 접속합니다." "status: 버전 정보를 가져옵니다." \
            "status: 버전 정보를 분석합니다." "status: 업데이트된 파일(들)을 다운로드 합니다." \
            "status: 프로그램을 실행합니다." "file: Downloading... ..\Vellora.exe" \
            "$(printf 'count: [%10d/%10d]' "$size" "$size")" "survived Escape and Enter" \
            "about: Kestrune 정보" "about: Kestrune 버전 1.0" "about: 확인" \
            "window gone"; do
  probe_saw texts.txt "$line" || { cat "$work/texts.txt" >&2; fail "the window did not show: $line"; }
done
echo "marker: $(cat "$install/updated.marker")"
# The screenshot in docs/screens is renewed on request (VELLORA_SCREENS=1)
# or when it is missing, so that a test run leaves the tree as it was.
if [ "${VELLORA_SCREENS:-0}" = 1 ] || [ ! -f docs/screens/vlrupdate-window.png ]; then
  mkdir -p docs/screens
  cp "$work/updater.png" docs/screens/vlrupdate-window.png
fi
wineserver -w

echo "== the close box during the download: the window goes, the replacement is whole"
# A copy that differs from the installed one in size and content.
cp "$marker_program" "$work/served/down/Vellora.exe"
head -c 300000 /dev/urandom >>"$work/served/down/Vellora.exe"
touch -d '+2 hours' "$work/served/down/Vellora.exe"
configure /slow/down/Vellora.exe E
rm -f "$install/updated.marker"
wine "$probe" "$(winepath -w "$work/closed.txt")" --close-on "업데이트된 파일(들)을 다운로드 합니다." &
probe_pid=$!
sleep 1
(cd "$install/Update" && wine VLRUpdate.exe) &
wait "$probe_pid" || true
probe_saw closed.txt "closed" || { cat "$work/closed.txt" >&2; fail "the close box was not used"; }
# The installed Vellora.exe is now the marker program, which has no version
# resource: the caption is a blank.
probe_saw closed.txt "caption:  " || fail "the caption was not a blank without a version resource"
probe_saw closed.txt "window gone" || fail "the window stayed after the close box"
wait_for 60 test -f "$install/updated.marker" || fail "the run did not finish after the close box"
wineserver -w
cmp "$install/Vellora.exe" "$work/served/down/Vellora.exe" || fail "Vellora.exe is not whole after the close box"

echo "== silent uninstallation keeps the user's keys"
echo key >"$install/Key/friend.lck"
head -c 16 /dev/zero >"$install/Proper.dat"
wine "$install/Uninstall.exe" /S
wineserver -w
[ -f "$install/Key/friend.lck" ] || fail "the uninstaller removed Key\\friend.lck"
[ -f "$install/Proper.dat" ] || fail "the uninstaller removed Proper.dat"
for gone in Vellora.exe Update/VLRUpdate.exe Uninstall.exe res; do
  [ ! -e "$install/$gone" ] || fail "the uninstaller left $gone"
done
[ ! -e "$menu" ] || fail "the uninstaller left the Start-menu folder"
if wine reg query 'HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Vellora' >/dev/null 2>&1; then
  fail "the uninstaller left the installed-programs entry"
fi
echo "release: all checks passed"
