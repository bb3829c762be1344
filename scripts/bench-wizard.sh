#!/bin/bash
# How long the wizard takes to appear: starts setup.exe (no arguments) under Wine with Xvfb and
# measures the time from its process creation until its window is on the screen with the
# background painted, beside a program that only opens an empty window of the same size.
# Runs both alternately, one warm-up each, then N timed runs (default 10); prints the medians.
# A benchmark, not a test; it runs the product's build for x86_64 (BENCH_PRESET=x64 for the test build).
#   scripts/bench-wizard.sh [runs]
set -euo pipefail
cd "$(dirname "$0")/.."
RUNS=${1:-10}
PRESET=${BENCH_PRESET:-x64-release}
scripts/install-tools.sh
cmake --preset "$PRESET" >/dev/null
cmake --build --preset "$PRESET" >/dev/null
BUILD=build/$PRESET
TIMER_DIR=build/x64/tests/tools
[ -x "$TIMER_DIR/window_timer.exe" ] || { cmake --preset x64 >/dev/null; cmake --build --preset x64 >/dev/null; }

# A point of the content area that no control covers, and the background's colour there.
X=300 Y=100
COLOUR=$(python3 - "$X" "$Y" <<'PY'
import struct, sys
x, y = int(sys.argv[1]), int(sys.argv[2])
data = open("res/skin/background.bmp", "rb").read()
offset, = struct.unpack_from("<I", data, 10)
width, height = struct.unpack_from("<ii", data, 18)
stride = (width * 3 + 3) & ~3
row = height - 1 - y if height > 0 else y
b, g, r = data[offset + row * stride + x * 3: offset + row * stride + x * 3 + 3]
print("%02X%02X%02X" % (r, g, b))
PY
)

. scripts/testbed.sh
tb_init
tb_template
tb_start_xvfb
tb_new_prefix "$TB_ROOT/pfx"
cp -r "$BUILD/sample-payload" "$WINEPREFIX/drive_c/payload"
cp "$TIMER_DIR/window_timer.exe" "$TIMER_DIR/empty_window.exe" "$WINEPREFIX/drive_c/"

measure() { "$WINE" 'C:\window_timer.exe' "$@" </dev/null 2>/dev/null | tr -d '\r'; }
setup_times=() empty_times=()
for i in $(seq 0 "$RUNS"); do
  s=$(measure "$X" "$Y" "$COLOUR" 'C:\payload\setup.exe')
  e=$(measure "$X" "$Y" 123456 'C:\empty_window.exe')
  if [ "$i" -gt 0 ]; then setup_times+=("$s"); empty_times+=("$e"); fi
done

median() { printf '%s\n' "$@" | sort -g | awk '{a[NR]=$1} END {if (NR%2) print a[(NR+1)/2]; else printf "%.1f\n", (a[NR/2]+a[NR/2+1])/2}'; }
range() { printf '%s\n' "$@" | sort -g | awk 'NR==1{min=$1} {max=$1} END {print min "-" max}'; }
echo "runs: $RUNS (after one warm-up each), build: $PRESET"
echo "setup.exe wizard on screen, painted: median $(median "${setup_times[@]}") ms (range $(range "${setup_times[@]}") ms)"
echo "empty window, painted:               median $(median "${empty_times[@]}") ms (range $(range "${empty_times[@]}") ms)"
