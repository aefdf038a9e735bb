# Sourced by the scripts: the Wine settings every run of the Windows build uses, and a prefix
# that is ready before the first test (creating it from parallel tests would race).
export WINEPREFIX="${WINEPREFIX:-$(pwd)/build/wineprefix}"
export WINEARCH=win64
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"

wine_prepare_prefix() {
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
        DISPLAY= wineboot -i >/dev/null 2>&1
        wineserver -w
    fi
    # A crash must end the process with its code, not open a dialog that waits forever.
    DISPLAY= wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f \
        >/dev/null 2>&1
}
