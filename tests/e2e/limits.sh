#!/bin/sh
# Today's usage-service reply, as a user meets it on a Wine desktop: the real program asks the
# local mock over WinHTTP and TLS; api.ini holds the three rows, the binding mark and the extra
# usage; the panel shows the model's weekly row with its tag (screenshot limits-today.png).
# Usage: limits.sh <tidewell.exe> <runner> <tidewell_probe.exe> <fixtures> <tidewell_addroot.exe> <port>
exe=$1
runner=$2
probe=$3
fixtures=$4
addroot=$5
port=$6
. "$(dirname "$0")/lib.sh"
. "$(dirname "$0")/wine_desktop.sh"
mock_dir="$(dirname "$0")/../mock"

mkdir -p "$scratch/tls"
sh "$mock_dir/make_certificates.sh" "$scratch/tls"
check "the test CA is trusted in the prefix" "$runner" "$addroot" "$(program_path "$scratch/tls/ca.pem")"
echo today >"$scratch/tls/scenario"
python3 "$mock_dir/usage_service.py" --port "$port" --dir "$scratch/tls" --lifetime 170 \
    >"$scratch/mock.log" 2>&1 &
mock=$!
trap 'kill $mock 2>/dev/null; wineserver -k >/dev/null 2>&1; kill $xvfb 2>/dev/null; rm -rf "$scratch"' EXIT
wait_until 10 test -f "$scratch/tls/ready"
printf '{"claudeAiOauth":{"accessToken":"test-token","subscriptionType":"max"}}' \
    >"$scratch/home/.claude/.credentials.json"
mkdir -p "$data"
printf '[q]\r\nwelcomed=1\r\nalerts=0\r\n' | iconv -f UTF-8 -t UTF-16 >"$data/config.ini"

"$runner" "$exe" </dev/null >/dev/null 2>&1 &
program=$!
probe find 30000 >/dev/null
api_text() { iconv -f UTF-16 -t UTF-8 "$local_data/api.ini" 2>/dev/null | tr -d '\r'; }
api_has() { api_text | grep -qx "$1"; }
check "the reply is stored" wait_until 30 api_has 'n=3'
check "with the model's weekly row third" api_has 'name2=Weekly · Fable'
check "its percent" api_has 'pct2=43.000000'
check "marked as the one that binds" api_has 'bind=2'
check "and the extra usage" sh -c "$(command -v iconv) -f UTF-16 -t UTF-8 '$local_data/api.ini' | tr -d '\r' | grep -q '^xcap=5000'"
sleep 2
shot limits-today
amber() {  # the tag's amber in the panel's Claude section
    convert "$artifacts/limits-today.png" -crop 330x260+0+0 +repage -depth 8 txt:- | grep -ci '#FFC53D'
}
set -- $(probe window TidewellPanel | tr -d '\r')
convert "$artifacts/limits-today.png" -crop "$(($4 - $2))x$(($5 - $3))+$2+$3" +repage \
    "$artifacts/limits-today.png"
check "the panel tags the binding row in amber" [ "$(amber)" -gt 0 ]
# The tooltip with every row at once (the binding weekly row, extra usage, Codex's windows): the
# shell keeps 127 characters, so the text is built to fit, each tool's section kept whole.
tooltip_read() { xdotool mousemove 1000 700 && sleep 0.3 && xdotool mousemove 1013 758 && sleep 1.5 &&
    probe tooltip | tr -d '\r' >"$scratch/tip.txt" && grep -q '^Claude' "$scratch/tip.txt"; }
check "the tooltip shows" wait_until 20 tooltip_read
tip_chars=$(head -c -1 "$scratch/tip.txt" | wc -m)
check "within the shell's 127 characters (got $tip_chars)" [ "$tip_chars" -le 127 ]
check "with Claude's section" grep -q '^Claude' "$scratch/tip.txt"
check "and Codex's" grep -q '^Codex' "$scratch/tip.txt"
probe command 107
wait $program
finish
