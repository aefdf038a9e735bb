# Shared by the desktop end-to-end scripts: a private Xvfb display with one Wine desktop and its
# taskbar, a fresh settings folder, the fixture home, and helpers to look at the screen. Needs
# $exe, $runner and $probe; the fixture home only when $fixtures is set. Screenshots go to
# <build>/e2e-artifacts. $screen (WxH, 1024x768 unless set) is the size of the display and the desktop.
artifacts="$(dirname "$exe")/e2e-artifacts"
mkdir -p "$artifacts"
export WINEPREFIX="$(dirname "$exe")/wineprefix-gui"
# No key repeat: on a busy machine xdotool's release can come late enough for the server to
# repeat a key, and a repeated Escape or Enter does what a second press does.
screen=${screen:-1024x768}
Xvfb -displayfd 3 -screen 0 "${screen}x24" -nolisten tcp -ardelay 60000 -arinterval 60000 3>"$scratch/display" >/dev/null 2>&1 &
xvfb=$!
trap 'wineserver -k >/dev/null 2>&1; kill $xvfb 2>/dev/null; rm -rf "$scratch"' EXIT
for _ in $(seq 100); do [ -s "$scratch/display" ] && break; sleep 0.1; done
export DISPLAY=":$(cat "$scratch/display")"
if [ ! -f "$WINEPREFIX/system.reg" ]; then
    wineboot -i >/dev/null 2>&1
    wineserver -w
fi
# One virtual desktop with a taskbar for every process of this prefix.
wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d shell /f >/dev/null 2>&1
wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v shell /d "$screen" /f >/dev/null 2>&1
wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1
wine reg delete 'HKCU\Software\Microsoft\Windows\CurrentVersion\Run' /v Tidewell /f >/dev/null 2>&1
wine reg delete 'HKCU\Software\Microsoft\Windows\CurrentVersion\Explorer\StartupApproved\Run' \
    /v Tidewell /f >/dev/null 2>&1
data="$WINEPREFIX/drive_c/users/$(id -un)/AppData/Roaming/Tidewell"
local_data="$WINEPREFIX/drive_c/users/$(id -un)/AppData/Local/Tidewell"  # the limit caches
rm -rf "$data" "$local_data"
# No WSL distributions and no desktop-app sessions unless a script makes them.
wine reg delete 'HKCU\Software\Microsoft\Windows\CurrentVersion\Lxss' /f >/dev/null 2>&1
rm -rf "$WINEPREFIX/drive_c/users/$(id -un)/AppData/Roaming/Claude"

if [ -n "${fixtures:-}" ]; then
    python3 "$(dirname "$0")/make_home.py" "$fixtures/home" "$scratch/home"
    export CLAUDE_CONFIG_DIR="$(program_path "$scratch/home/.claude")"
    export CODEX_HOME="$(program_path "$scratch/home/.codex")"
fi

probe() { "$runner" "$probe" "$@"; }
shot() { import -window root "$artifacts/$1.png"; }
# colour_count FILE HEX: pixels of that colour in the taskbar's notification area.
tray_pixels() {
    convert "$artifacts/$1.png" -crop 200x20+824+748 +repage -depth 8 txt:- | grep -ci "#$2"
}
# icon_box FILE: the size (WxH) of the icon's dark square in the bottom right corner of the screen.
icon_box() {
    convert "$artifacts/$1.png" -crop 300x60+724+708 +repage -fill black -fuzz 0 +opaque '#21201C' \
        -trim -format '%wx%h' info: 2>/dev/null
}
wait_until() {  # wait_until SECONDS COMMAND...: true once the command succeeds
    limit=$1
    shift
    for _ in $(seq $((limit * 10))); do "$@" >/dev/null 2>&1 && return 0; sleep 0.1; done
    return 1
}
run_value() { wine reg query 'HKCU\Software\Microsoft\Windows\CurrentVersion\Run' /v Tidewell 2>/dev/null | tr -d '\r'; }
config_text() { iconv -f UTF-16 -t UTF-8 "$data/config.ini" 2>/dev/null | tr -d '\r'; }
panel_visible() { probe window TidewellPanel | grep -q '^visible'; }
# capped HEIGHT [MARGIN]: the panel's height for a page that tall: at most its work area's less
# the margin (12 pixels at 96 DPI and the Normal size) above and below (a longer page scrolls).
capped() {
    set -- "$1" "${2:-12}" $(probe workarea | tr -d '\r')
    if [ "$1" -lt $(($6 - $4 - 2 * $2)) ]; then echo "$1"; else echo $(($6 - $4 - 2 * $2)); fi
}
icon_has() { shot "$1" && [ "$(tray_pixels "$1" "$2")" -gt 0 ]; }

wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d 96 /f >/dev/null 2>&1
# Pages the program opens are noted in $scratch/opened.txt instead of shown.
wine reg add 'HKCR\.html' /ve /d htmlfile /f >/dev/null 2>&1
wine reg add 'HKCR\htmlfile\shell\open\command' /ve \
    /d "cmd /c echo %1>>$(program_path "$scratch/opened.txt")" /f >/dev/null 2>&1
opened_times() { [ "$(cat "$scratch/opened.txt" 2>/dev/null | grep -c tidewell-report)" -eq "$1" ]; }
