# Shared by the end-to-end scripts: counting checks, a throwaway folder, and running the
# program natively or under Wine (when a runner, the Wine wrapper, is given).
passed=0
failed=0
check() {  # check "what" command...
    what=$1
    shift
    if "$@"; then
        passed=$((passed + 1))
    else
        failed=$((failed + 1))
        echo "FAILED: $what"
    fi
}
finish() {
    echo "$passed passed, $failed failed"
    [ "$failed" -eq 0 ]
}
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

# A host path as the program sees it: under Wine, "/a/b" is "Z:\a\b".
program_path() {
    if [ -n "$runner" ]; then
        printf 'Z:%s' "$1" | tr '/' '\\'
    else
        printf '%s' "$1"
    fi
}

# run_program ARGS...: runs the program with this script's environment; output in
# $scratch/stdout and $scratch/stderr, exit code in $code.
run_program() {
    if [ -n "$runner" ]; then
        "$runner" "$exe" "$@" >"$scratch/stdout" 2>"$scratch/stderr" </dev/null
    else
        "$exe" "$@" >"$scratch/stdout" 2>"$scratch/stderr" </dev/null
    fi
    code=$?
}

same_bytes() {  # same_bytes FILE EXPECTED_TEXT
    [ "$(cat "$1"; printf x)" = "$2x" ] || { printf '  got:      %s\n  expected: %s\n' "$(cat "$1")" "$2"; return 1; }
}

# Under Wine, gives this script a prefix of its own (application data, registry, wineserver), so
# that no other test reads or removes its settings and caches meanwhile. It is made from the
# shared prefix in a moment: Wine's system files are hard links (Wine does not write them), the
# registry and the users' folders are copies.
use_private_prefix() {
    [ -n "$runner" ] || return 0
    shared=$WINEPREFIX
    export WINEPREFIX="$scratch/prefix"
    mkdir -p "$WINEPREFIX/drive_c"
    for item in "$shared/drive_c"/*; do
        if [ "${item##*/}" = users ]; then
            cp -a "$item" "$WINEPREFIX/drive_c/"
        else
            cp -al "$item" "$WINEPREFIX/drive_c/" 2>/dev/null || cp -a "$item" "$WINEPREFIX/drive_c/"
        fi
    done
    cp -a "$shared"/*.reg "$shared/.update-timestamp" "$shared/dosdevices" "$WINEPREFIX/"
    # Whatever ran in the shared prefix before, this script starts without Tidewell's files.
    rm -rf "$WINEPREFIX"/drive_c/users/*/AppData/Roaming/Tidewell \
        "$WINEPREFIX"/drive_c/users/*/AppData/Local/Tidewell
    trap 'wineserver -k >/dev/null 2>&1; wineserver -w >/dev/null 2>&1; rm -rf "$scratch"' EXIT
}
