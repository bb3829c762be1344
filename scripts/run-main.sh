#!/bin/bash
# The main job on the sample payload: builds setup.exe (the 32-bit product and the same build for
# x86_64, which this machine's Wine can run, both with the sample payload assembled beside them),
# installs it with "s" in a throwaway Wine prefix, removes it again with the installed copy, and
# prints what each left and the log of both runs.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-tools.sh
# The test build makes both product builds as its steps, and the report tool.
cmake --preset x64 >/dev/null
cmake --build --preset x64 >/dev/null
echo "Built the product:      build/i686/sample-payload/setup.exe (32-bit)"
echo "Running the x86_64 build under Wine: build/x64-release/sample-payload"

. scripts/testbed.sh
tb_init
tb_template
tb_start_xvfb
tb_new_prefix "$TB_ROOT/pfx"
cp -r build/x64-release/sample-payload "$WINEPREFIX/drive_c/payload"
REPORT=build/x64/tests/tools/install_report.exe
INSTALL='C:\Program Files\KRT55A'
APP='Kestrin HW RAID Manager'

wine_out() { "$WINE" "$@" </dev/null 2>/dev/null | tr -d '\r'; }

echo
echo "== setup.exe s (install)"
wine_out "$REPORT" run '"C:\payload\setup.exe" s'
wine_out "$REPORT" report "$INSTALL" KRT55A "$APP"
echo
echo "== \"$INSTALL\\Uninstall\\setup.exe\" SilentDel (removal by the installed copy)"
wine_out "$REPORT" run "\"$INSTALL\\Uninstall\\setup.exe\" SilentDel"
wine_out "$REPORT" report "$INSTALL" KRT55A "$APP"
echo
echo "== the run log (%TEMP%\\KRT55A-setup.log of the user running setup)"
find "$WINEPREFIX/drive_c/users" -name 'KRT55A-setup.log' -exec cat {} \; | tr -d '\r'
