#!/bin/bash
# Runs one Windows program under the Wine loader in a fresh copy of the template prefix with its
# own wineserver, then stops everything by PID.
#   scripts/wine-run.sh <program.exe> [arguments]
# Uses the caller's DISPLAY when set, otherwise starts its own Xvfb.
set -u
. "$(dirname "$0")/testbed.sh"
tb_init
tb_template
[ -n "${DISPLAY:-}" ] || tb_start_xvfb || exit 1
tb_new_prefix "$TB_ROOT/pfx"
# Our own time limit, below ctest's, so that a hung test still ends through the clean-up here.
limit=(timeout --kill-after=5 "${SETUP_TEST_TIMEOUT:-600}")
# The interface language of the Windows processes only, not of this script.
if [ -n "${SETUP_TEST_LC_ALL:-}" ]; then
  tb_run "${limit[@]}" env LC_ALL="$SETUP_TEST_LC_ALL" "$WINE" "$@"
else
  tb_run "${limit[@]}" "$WINE" "$@"
fi
