#!/bin/sh
# Runs a Windows program under Wine for ctest. The first Wine process of a prefix starts the
# wineserver and Wine's services, which inherit its standard output; under ctest that is the
# test's pipe, and ctest would wait for them (until the test times out, when the tests that follow
# keep the server alive). Starting them here with /dev/null keeps tests fast.
# Parallel tests take turns at it, so that no test's own process starts them while another
# test's warm-up is still under way.
if [ -z "${WINE_RUN_NO_WARMUP:-}" ]; then
    (
        flock 9
        # Not inherited: the server outlives this and must not hold the lock.
        wineserver -p30 </dev/null >/dev/null 2>&1 9>&-
        wine cmd /c exit </dev/null >/dev/null 2>&1 9>&-
        # The desktop window's process too, which the first drawing would otherwise start.
        wine rundll32.exe user32.dll,GetDesktopWindow </dev/null >/dev/null 2>&1 9>&-
    ) 9>"${WINEPREFIX:-$HOME/.wine}/.tidewell-warmup.lock"
fi
if [ -p /dev/stdout ]; then
    # Under ctest, standard output is the test's pipe. A process that Wine starts on the way (the
    # first drawing in a new prefix starts some) may outlive the program and would hold that
    # pipe open until the test times out, so the program's output goes through files instead.
    out=$(mktemp)
    err=$(mktemp)
    wine "$@" >"$out" 2>"$err"
    code=$?
    cat "$out"
    cat "$err" >&2
    rm -f "$out" "$err"
    exit $code
fi
exec wine "$@"
