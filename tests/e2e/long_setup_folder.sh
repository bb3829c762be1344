#!/bin/bash
# A setup folder deeper than MAX_PATH, as Windows shows it: the run ends with 1603 and its log (of
# the fixed name, since setup.ini cannot be read from such a folder) says why; nothing is installed.
set -u
. "$(dirname "$0")/../../scripts/testbed.sh"
tb_init
tb_template
tb_new_prefix "$TB_ROOT/pfx"
fail() { echo "long_setup_folder: $*" >&2; exit 1; }

# Beside the prefix, so that Windows sees it under Z: with its long names whole.
deep=$TB_ROOT/deep
for c in a b c d e; do deep=$deep/$(printf "$c%.0s" $(seq 50)); done
mkdir -p "$deep"
cp "$SETUP_TEST_PAYLOAD_DIR/setup.exe" "$SETUP_TEST_PAYLOAD_DIR/setup.ini" "$deep/"

rc=0
"$WINE" "$deep/setup.exe" s </dev/null >/dev/null 2>&1 || rc=$?
# wine64's own status keeps the low byte of the exit code: 1603 -> 67.
[ "$rc" -eq 67 ] || fail "exit status $rc, not that of 1603"
log=$(find "$WINEPREFIX/drive_c" -name KRT21C-setup.log | head -1)
[ -n "$log" ] || fail "no log"
grep -q "The program's own path is longer than 259 characters" "$log" || fail "the log does not say why: $(cat "$log")"
tail -1 "$log" | grep -q "Exit code 1603" || fail "the log does not end with the exit code"
[ ! -e "$WINEPREFIX/drive_c/Program Files/KRT55A" ] || fail "something was installed"
echo "long_setup_folder: passed"
