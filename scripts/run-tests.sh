#!/bin/bash
# The whole test suite: builds the 32-bit product and the x86_64 test build, then runs every
# test under Wine with ctest (each test program in a fresh copy of the template prefix), with
# Xvfb started here and stopped by PID at the end.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-tools.sh
for preset in i686 x64; do
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset"
done

. scripts/testbed.sh
tb_init
tb_template
tb_start_xvfb
tb_run ctest --preset x64 "$@"
