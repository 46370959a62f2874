#!/usr/bin/env bash
# End-to-end run of the real Vellora.exe under Wine on a virtual X display
# with the Korean locale: a driver program of ours works through the windows
# as a person would, then the Linux vellora-cli opens the package it made.
# With --screens the screenshots taken on the way replace docs/screens/.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
update_screens=0
[ "${1:-}" = "--screens" ] && update_screens=1

# What the run needs beyond the build: the virtual display, the Hangul
# fonts, the picture tools.
need=(xvfb xauth fonts-nanum imagemagick x11-apps)
missing=()
for p in "${need[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  SUDO=""; [ "$(id -u)" -eq 0 ] || SUDO="sudo"
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq "${missing[@]}"
fi

[ -f build/mingw/build.ninja ] || cmake --preset mingw >/dev/null
cmake --build build/mingw -j2 --target vellora_gui vellora_gui_driver fake_player
[ -f build/linux/build.ninja ] || cmake --preset linux >/dev/null
cmake --build build/linux -j2 --target vellora-cli

export LANG=ko_KR.UTF-8 WINEDEBUG=${WINEDEBUG:--all}
export WINEPREFIX="$root/build/wineprefix-gui"
wineserver -k 2>/dev/null || true  # nothing left over from an earlier run
trap 'wineserver -k 2>/dev/null || true' EXIT
if [ ! -d "$WINEPREFIX" ]; then
  wineboot --init >/dev/null 2>&1 || true
fi
# The dialogs ask for 굴림; Nanum fonts stand in for it.
wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v 굴림 /t REG_SZ /d NanumGothic /f >/dev/null 2>&1
wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v 굴림체 /t REG_SZ /d NanumGothicCoding /f >/dev/null 2>&1
# The banner's player control is registered only for its own phase below;
# the main run shows the panel that stands in for a missing player.
player_keys=('HKLM\Software\Classes\ShockwaveFlash.ShockwaveFlash'
  'HKLM\Software\Classes\CLSID\{5B1F63B4-2C1D-4E0B-9A47-7D3C0E2F8A61}')
unregister_player() {
  for key in "${player_keys[@]}"; do wine reg delete "$key" /f >/dev/null 2>&1 || true; done
}
unregister_player
# The virtual display runs no window manager: Wine paints the system
# captions and frames itself (the progress window's and the about box's),
# as Windows does, instead of leaving them to a manager that is not there.
wine reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /t REG_SZ /d N /f >/dev/null 2>&1
# Their close boxes are drawn with Wine's Marlett font, which this prefix
# does not find by itself.
marlett=$(ls /usr/share/wine/fonts/marlett.ttf /usr/lib/wine/fonts/marlett.ttf 2>/dev/null | head -n1 || true)
[ -z "$marlett" ] || cp -n "$marlett" "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null || true
# Screen dpi: 96 (100 %) for the main run, 144 (150 %) for the scaled one.
set_dpi() {
  wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$1" /f >/dev/null 2>&1
  wine reg add 'HKLM\System\CurrentControlSet\Hardware Profiles\Current\Software\Fonts' \
    /v LogPixels /t REG_DWORD /d "$1" /f >/dev/null 2>&1
  # The prefix's desktop must start again under the virtual display.
  wineserver -w
}
set_dpi 96

# Each session gets a fresh copy of the program with its pictures.
fresh_app() {
  rm -rf "$1"
  mkdir -p "$1/app" "$1/shots"
  cp build/mingw/app/vellora/Vellora.exe "$1/app/"
  cp -r build/mingw/app/vellora/res "$1/app/"
}
# The driver on a virtual display, with the screenshot watcher beside it:
# the shots folder, then the driver's arguments.
drive() {
  local shots=$1
  shift
  xvfb-run -a -s "-screen 0 1280x900x24" "$run/inner.sh" "$shots" \
    wine build/mingw/tests/vellora_gui/vellora_gui_driver.exe "$@"
}

run=$root/build/gui-e2e
fresh_app "$run"
mkdir -p "$run/work/in" "$run/work/out" "$run/work/dec" "$run/work/keys" "$run/work/del"
printf 'Vellora end-to-end text file\n한글 줄\n' > "$run/work/in/a.txt"
head -c 70000 /dev/urandom > "$run/work/in/b.bin"
head -c 20000 /dev/urandom > "$run/work/del/doomed.bin"
win() { echo "Z:${1//\//\\}"; }

# Inside the virtual display: a watcher takes each screenshot the driver
# asks for, while the driver runs.
cat > "$run/inner.sh" <<'INNER'
#!/usr/bin/env bash
set -u
shots=$1; shift
( while :; do
    for r in "$shots"/*.request; do
      [ -e "$r" ] || continue
      # The request names the rectangle of the windows (WxH+X+Y).
      geometry=$(head -n1 "$r" 2>/dev/null)
      # Not xwd: its root picture, read window by window, leaves the
      # dialogs that sit over the main window black.
      import -silent -window root ${geometry:+-crop "$geometry" +repage} "${r%.request}.png"
      rm -f "$r"
    done
    sleep 0.2
  done ) &
watcher=$!
"$@"
status=$?
kill "$watcher" 2>/dev/null
exit $status
INNER
chmod +x "$run/inner.sh"
started=$(date +%s)
drive "$run/shots" "$(win "$run/app")" "$(win "$run/work")" "$(win "$run/shots")"
echo "GUI session: $(( $(date +%s) - started )) s"

# The same windows at 150 %: opened, checked for cut-off controls, one
# picture of the main window kept.
set_dpi 144
scaled=$root/build/gui-e2e-150
fresh_app "$scaled"
started=$(date +%s)
drive "$run/shots" "$(win "$scaled/app")" "$(win "$scaled")" "$(win "$run/shots")" -150
echo "GUI session at 150 %: $(( $(date +%s) - started )) s"
set_dpi 96

# The package opens on Linux byte for byte, the decrypted copies match, the
# settings file holds ARIA (and the BMP mode chosen last), the key was
# exported and the dropped file is gone.
printf 'secret1\n' > "$run/pass.txt"
mkdir -p "$run/linux-out"
build/linux/app/cli/vellora-cli decrypt -p "$run/pass.txt" -o "$run/linux-out" "$run/work/out/pkg.vlr"
for f in a.txt b.bin; do
  cmp "$run/work/in/$f" "$run/linux-out/$f"
  cmp "$run/work/in/$f" "$run/work/dec/$f"
done
settings=$(od -An -tu4 -v "$run/app/Proper.dat" | tr -s ' ')
[ "$settings" = " 2 1 0 0" ] || { echo "Proper.dat holds:$settings"; exit 1; }
[ -s "$run/work/keys/alice.lck" ] && cmp "$run/work/keys/alice.lck" "$run/app/Key/alice.lck"
[ ! -e "$run/work/del/doomed.bin" ]
echo "Vellora.exe end to end: passed"

# The banner's control site, end to end: a stand-in player of ours
# registered under the player's ProgID for two short starts, one with a
# banner list (its main window opened twice) and one without; then
# unregistered again.
banner=$root/build/gui-banner
fresh_app "$banner"
mkdir -p "$banner/player"
cp build/mingw/tests/vellora_gui/fake_player.dll "$banner/player/"
wine reg add "${player_keys[0]}\\CLSID" /ve /t REG_SZ /d "${player_keys[1]##*\\}" /f >/dev/null 2>&1
wine reg add "${player_keys[1]}\\InprocServer32" /ve /t REG_SZ \
  /d "$(win "$banner/player/fake_player.dll")" /f >/dev/null 2>&1
wine reg add "${player_keys[1]}\\InprocServer32" /v ThreadingModel /t REG_SZ /d Apartment \
  /f >/dev/null 2>&1
wineserver -w
started=$(date +%s)
banner_status=0
drive "$banner/shots" "$(win "$banner/app")" "$(win "$banner")" "$(win "$banner/shots")" --banner ||
  banner_status=$?
unregister_player
[ $banner_status -eq 0 ] || exit $banner_status
# Each main window (three in the two starts) handed its player one movie
# and freed it before the end; no call found the site's window or
# rectangle wrong.
log=$banner/player/fake_player.log
[ "$(grep -c '^movie ' "$log")" = 3 ] && [ "$(grep -c '^freed$' "$log")" = 3 ] &&
  ! grep -E 'disagrees|already gone|while active|alive' "$log" ||
  { echo "the player's log:"; cat "$log"; exit 1; }
echo "GUI banner session: $(( $(date +%s) - started )) s"

# A careless user: files dropped twice, outputs that are inputs, read-only
# files or folders, dialogs cancelled, the window closed during a run, one
# file dropped twice on the deletion area. The driver makes its own files.
hostile=$root/build/gui-hostile
fresh_app "$hostile"
mkdir -p "$hostile/work"
started=$(date +%s)
drive "$hostile/shots" "$(win "$hostile/app")" "$(win "$hostile/work")" "$(win "$hostile/shots")" --hostile
echo "GUI hostile session: $(( $(date +%s) - started )) s"

if [ $update_screens -eq 1 ]; then
  # Each picture already holds only the windows; the updater's picture
  # comes from test-release.sh and stays.
  mkdir -p docs/screens
  cp "$run"/shots/*.png docs/screens/
  echo "screenshots copied to docs/screens/"
fi
