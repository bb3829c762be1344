#!/bin/bash
# The whole test suite: builds the x86_64 test build (which builds the 32-bit product and the
# product's build for x86_64 as its steps), then runs every test under Wine with ctest (each test
# program in a fresh copy of the template prefix), with Xvfb started here and stopped by PID at
# the end.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-tools.sh
cmake --preset x64 >/dev/null
cmake --build --preset x64

. scripts/testbed.sh
tb_init
tb_template
tb_start_xvfb
tb_run ctest --preset x64 "$@"
