# Shared by the end-to-end scripts: counting checks and a throwaway folder.
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
