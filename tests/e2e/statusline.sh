#!/bin/sh
# The status line command answers with its line and exit code 0.
# Usage: statusline.sh <exe> [<runner>]
exe=$1
runner=$2
. "$(dirname "$0")/lib.sh"
run_program --statusline extra words
check "exit code 0 (got $code)" [ "$code" -eq 0 ]
check "one line" same_bytes "$scratch/stdout" "Tidewell
"
finish
