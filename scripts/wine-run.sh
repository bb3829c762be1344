#!/bin/bash
# Runs one command (normally a Windows test program under wine64) in a fresh copy of the
# template prefix with its own wineserver, then stops everything by PID.
# Uses the caller's DISPLAY when set, otherwise starts its own Xvfb.
set -u
. "$(dirname "$0")/testbed.sh"
tb_init
tb_template
[ -n "${DISPLAY:-}" ] || tb_start_xvfb || exit 1
tb_new_prefix "$TB_ROOT/pfx"
export SETUP_TEST_SCRATCH=$TB_ROOT
[ "${1:-}" = "--" ] && shift
# The interface language of the Windows processes only, not of this script.
if [ -n "${SETUP_TEST_LC_ALL:-}" ]; then
  tb_run env LC_ALL="$SETUP_TEST_LC_ALL" "$@"
else
  tb_run "$@"
fi
