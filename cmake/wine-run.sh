#!/bin/sh
# Runs a Windows program under Wine for ctest. The first Wine process of a prefix starts the
# wineserver and Wine's services, which inherit its standard output; under ctest that is the
# test's pipe, and ctest would wait for them. Starting them here with /dev/null keeps tests fast.
# Parallel tests take turns at it, so that no test's own process starts them while another
# test's warm-up is still under way.
if [ -z "${WINE_RUN_NO_WARMUP:-}" ]; then
    (
        flock 9
        # Not inherited: the server outlives this and must not hold the lock.
        wineserver -p30 </dev/null >/dev/null 2>&1 9>&-
        wine cmd /c exit </dev/null >/dev/null 2>&1 9>&-
    ) 9>"${WINEPREFIX:-$HOME/.wine}/.tidewell-warmup.lock"
fi
exec wine "$@"
