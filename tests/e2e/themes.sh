#!/bin/sh
# Windows' themes on a Wine desktop: the panel and the tray icon in light mode (the registry's
# AppsUseLightTheme and SystemUsesLightTheme), back to dark live when Settings broadcasts the
# change, and high contrast (the HighContrast flags and Windows' "High Contrast Black" colours in
# the prefix; Wine keeps the flag off but takes the colours, so the page is also painted by the
# panel_shot tool in the system's colours as high contrast paints it); then the usage report in
# Chromium in the dark scheme and under forced colours, with its day bars still drawn.
# Screenshots in <build>/e2e-artifacts (themes-*.png).
# Usage: themes.sh <tidewell.exe> <runner> <tidewell_probe.exe> <fixtures folder>
#                  <tidewell_report_page.exe> <tidewell_panel_shot.exe>
exe=$1
runner=$2
probe=$3
fixtures=$4
report_page=$5
panel_shot=$6
. "$(dirname "$0")/lib.sh"
. "$(dirname "$0")/wine_desktop.sh"

personalize='HKCU\Software\Microsoft\Windows\CurrentVersion\Themes\Personalize'
contrast='HKCU\Control Panel\Accessibility\HighContrast'
colours='HKCU\Control Panel\Colors'
panel_rect() {
    set -- $(probe window TidewellPanel | tr -d '\r')
    left=$2 top=$3 right=$4 bottom=$5
}
# pixel NAME X Y (panel coordinates): the colour as RRGGBB.
pixel() {
    convert "$artifacts/$1.png" -crop "1x1+$((left + $2))+$((top + $3))" +repage -depth 8 txt:- |
        sed -n 's/.*#\([0-9A-Fa-f]\{6\}\).*/\1/p' | head -1
}
# panel_pixels NAME HEX: how many of the panel's pixels have that colour.
panel_pixels() {
    convert "$artifacts/$1.png" -crop "$((right - left))x$((bottom - top))+$left+$top" +repage \
        -depth 8 txt:- | grep -ci "#$2"
}
start() {
    "$runner" "$exe" </dev/null >/dev/null 2>&1 &
    program=$!
    probe find 30000 >/dev/null
    wait_until 10 panel_visible
    sleep 2
}
quit() { probe command 107 >/dev/null; wait $program; }
# The theme's colours and whether the panel and the icon show them: background at (4, 4).
looks() {  # looks NAME BACKGROUND ICON_COLOUR
    panel_rect && shot "$1" && [ "$(pixel "$1" 4 4)" = "$2" ] && [ "$(tray_pixels "$1" "$3")" -gt 20 ]
}

mkdir -p "$data"
printf '[q]\r\nwelcomed=1\r\nalerts=0\r\n' | iconv -f UTF-8 -t UTF-16 >"$data/config.ini"

# Light mode, as Settings leaves it in the registry.
wine reg add "$personalize" /v AppsUseLightTheme /t REG_DWORD /d 1 /f >/dev/null 2>&1
wine reg add "$personalize" /v SystemUsesLightTheme /t REG_DWORD /d 1 /f >/dev/null 2>&1
start
check "light mode: the panel is light (#F7F7F5) and so is the icon's square (#F9F9F7)" \
    wait_until 5 looks themes-light F7F7F5 F9F9F7
check "its text is dark" [ "$(panel_pixels themes-light 1F1E1B)" -gt 100 ]

# Back to dark while it runs: the registry changes, then the broadcast.
wine reg add "$personalize" /v AppsUseLightTheme /t REG_DWORD /d 0 /f >/dev/null 2>&1
wine reg add "$personalize" /v SystemUsesLightTheme /t REG_DWORD /d 0 /f >/dev/null 2>&1
probe colours-changed
check "switched live to dark: the panel (#262624) and the icon (#21201C)" \
    wait_until 5 looks themes-dark 262624 21201C
quit

# High contrast: the flag and Windows' own "High Contrast Black" colours, read at start.
wine reg add "$contrast" /v Flags /t REG_SZ /d 127 /f >/dev/null 2>&1
for pair in 'Window=0 0 0' 'WindowText=255 255 255' 'Hilight=26 235 255' 'HilightText=0 0 0' \
    'HotTrackingColor=255 255 0' 'GrayText=63 242 63' 'ButtonFace=0 0 0' 'ButtonText=255 255 255'; do
    wine reg add "$colours" /v "${pair%%=*}" /d "${pair#*=}" /f >/dev/null 2>&1
done
reported=$(probe theme | tr -d '\r')
echo "Wine reports: $reported"
start
panel_rect
shot themes-high-contrast
case $reported in
    highcontrast=1*)
        check "high contrast: the panel is drawn in the window colour (black)" \
            [ "$(pixel themes-high-contrast 4 4)" = 000000 ]
        check "with outlines in the button text colour (white)" \
            [ "$(panel_pixels themes-high-contrast FFFFFF)" -gt 500 ]
        ;;
    *)
        # Wine keeps SPI_GETHIGHCONTRAST off whatever the registry says: the program stays in its
        # own theme, which the screenshot shows.
        echo "Wine does not honour the HighContrast flag; the screenshot shows the dark theme"
        check "without high contrast the panel keeps its theme" \
            [ "$(pixel themes-high-contrast 4 4)" = 262624 ]
        ;;
esac
quit
# Both pages as high contrast paints them with these colours: black, white text and outlines,
# the chosen segment and the switches that are on in the highlight (#1AEBFF).
for page in main settings; do
    "$runner" "$panel_shot" "$page-contrast" 4 >"$scratch/shot.txt" 2>/dev/null &
    shooter=$!
    wait_until 15 grep -q ready "$scratch/shot.txt"
    sleep 1
    set -- $(tr -d '\r' <"$scratch/shot.txt")  # ready DPI dpi LEFT TOP RIGHT BOTTOM
    left=$4 top=$5 right=$6 bottom=$7
    shot "themes-high-contrast-$page"
    check "high contrast ($page): the window colour (black) behind" \
        [ "$(pixel "themes-high-contrast-$page" 4 4)" = 000000 ]
    check "white text and outlines" [ "$(panel_pixels "themes-high-contrast-$page" FFFFFF)" -gt 300 ]
    wait $shooter
done
check "and the highlight on the settings page's choice and switches" \
    [ "$(panel_pixels themes-high-contrast-settings 1AEBFF)" -gt 300 ]

# The report in Chromium: the dark scheme, and forced colours (Windows' high contrast in a
# browser) with the day bars drawn in the text colour.
"$runner" "$report_page" "$(date +%s)" >"$scratch/report.html" 2>/dev/null
bars='(() => { const bars = [...document.querySelectorAll(".bar")];
  const page = getComputedStyle(document.body).backgroundColor;
  const seen = bars.filter(b => { const c = getComputedStyle(b).backgroundColor;
    return b.offsetWidth > 0 && c !== page && c !== "rgba(0, 0, 0, 0)"; });
  return bars.length + " " + seen.length + " " + page; })()'
render() {  # render NAME FORCED SCHEME
    timeout 60 python3 "$(dirname "$0")/forced_colors.py" "file://$scratch/report.html" \
        "$artifacts/$1.png" "$2" "$3" "$bars" 2>&1
}
dark=$(render themes-report-dark none dark)
check "the report in the dark scheme has a dark page and its bars ($dark)" \
    sh -c "echo '$dark' | grep -Eq '^([1-9][0-9]*) \1 rgb\(38, 38, 36\)$'"
forced=$(render themes-report-forced active dark)
check "under forced colours every day bar is still drawn ($forced)" \
    sh -c "echo '$forced' | grep -Eq '^([1-9][0-9]*) \1 '"
finish
