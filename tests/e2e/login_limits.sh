#!/bin/sh
# Two logins' limits over real WinHTTP and TLS against the local mock, which answers each token
# apart: the LoginLimitsLive tests of tidewell_tests.exe.
# Usage: login_limits.sh <tidewell.exe> <runner> <tidewell_tests.exe> <tidewell_addroot.exe> <port>
exe=$1
runner=$2
tests=$3
addroot=$4
port=$5
. "$(dirname "$0")/lib.sh"
mock_dir="$(dirname "$0")/../mock"

sh "$mock_dir/make_certificates.sh" "$scratch"
check "the test CA is trusted in the prefix" "$runner" "$addroot" "$(program_path "$scratch/ca.pem")"
python3 "$mock_dir/usage_service.py" --port "$port" --dir "$scratch" --lifetime 300 \
    >"$scratch/mock.log" 2>&1 &
mock=$!
trap 'kill $mock 2>/dev/null; rm -rf "$scratch"' EXIT
for _ in $(seq 100); do [ -f "$scratch/ready" ] && break; sleep 0.1; done
check "the mock is up (another test may hold port $port)" [ -f "$scratch/ready" ]

TIDEWELL_MOCK_PORT=$port TIDEWELL_MOCK_DIR="$scratch" \
    "$runner" "$tests" --gtest_filter='LoginLimitsLive.*' >"$scratch/out" 2>&1
code=$?
tr -d '\r' <"$scratch/out" | grep -E '^\[ +(OK|FAILED|SKIPPED) +\]|Failure|Expected|Which is|actual' | head -40
check "the live tests pass (exit code $code)" [ "$code" -eq 0 ]
check "one ran" [ "$(tr -d '\r' <"$scratch/out" | grep -c '^\[       OK \]')" -eq 1 ]
finish
