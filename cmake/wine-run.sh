#!/bin/sh
# Runs a Windows program under Wine for ctest. The first Wine process of a prefix starts the
# wineserver and Wine's services, which inherit its standard output; under ctest that is the
# test's pipe, and ctest would wait for them. Starting them here with /dev/null keeps tests fast.
if [ -z "${WINE_RUN_NO_WARMUP:-}" ]; then
    wineserver -p30 </dev/null >/dev/null 2>&1
    wine cmd /c exit </dev/null >/dev/null 2>&1
fi
exec wine "$@"
