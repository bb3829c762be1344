#!/bin/bash
# How long the wizard takes to appear: starts setup.exe (no arguments) under Wine with Xvfb and
# measures the time from its process creation until its window is on the screen with the
# background painted, beside a program that only opens an empty window of the same size. At the
# display scales 100 % and 200 % (the prefix's LogPixels), it runs both alternately, one warm-up
# each, then N timed rounds (default 20); prints the medians and the median of each round's ratio.
# A benchmark, not a test; it runs the product's build for x86_64 (BENCH_PRESET=x64 for the test
# build; BENCH_PAYLOAD=<folder> for the sample payload of another build, BENCH_UNSCALED=1 when
# that build draws at 100 % whatever the scale, as before the wizard took the display's scale).
#   scripts/bench-wizard.sh [runs]
set -euo pipefail
cd "$(dirname "$0")/.."
RUNS=${1:-20}
PRESET=${BENCH_PRESET:-x64-release}
scripts/install-tools.sh
cmake --preset "$PRESET" >/dev/null
cmake --build --preset "$PRESET" >/dev/null
PAYLOAD=${BENCH_PAYLOAD:-build/$PRESET/sample-payload}
TIMER_DIR=build/x64/tests/tools
[ -x "$TIMER_DIR/window_timer.exe" ] || { cmake --preset x64 >/dev/null; cmake --build --preset x64 >/dev/null; }

# A point of the content area that no control covers (300, 100 of the design) and the background's
# colour there, in the picture made for the scale.
point_and_colour() {  # dpi
  local dpi=$1
  [ -n "${BENCH_UNSCALED:-}" ] && dpi=96
  local picture=res/skin/background.bmp x=$((300 * dpi / 96)) y=$((100 * dpi / 96))
  [ "$dpi" -ne 96 ] && picture=res/skin/$((dpi * 100 / 96))/background.png
  echo "$x $y $(convert "$picture" -format "%[hex:p{$x,$y}]" info: | cut -c1-6)"
}

. scripts/testbed.sh
tb_init
tb_template
tb_start_xvfb 1600x1200

median() { printf '%s\n' "$@" | sort -g | awk '{a[NR]=$1} END {if (NR%2) print a[(NR+1)/2]; else printf "%.3f\n", (a[NR/2]+a[NR/2+1])/2}'; }
range() { printf '%s\n' "$@" | sort -g | awk 'NR==1{min=$1} {max=$1} END {print min "-" max}'; }

echo "runs: $RUNS per scale (after one warm-up each), payload: $PAYLOAD"
for dpi in 96 192; do
  tb_new_prefix "$TB_ROOT/pfx-$dpi"
  "$WINE" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f </dev/null >/dev/null 2>&1
  cp -r "$PAYLOAD" "$WINEPREFIX/drive_c/payload"
  cp "$TIMER_DIR/window_timer.exe" "$TIMER_DIR/empty_window.exe" "$WINEPREFIX/drive_c/"
  read -r X Y COLOUR < <(point_and_colour "$dpi")
  measure() { "$WINE" 'C:\window_timer.exe' "$@" </dev/null 2>/dev/null | tr -d '\r' || true; }
  setup_times=() empty_times=() ratios=()
  for i in $(seq 0 "$RUNS"); do
    s=$(measure "$X" "$Y" "$COLOUR" 'C:\payload\setup.exe')
    e=$(measure "$X" "$Y" 123456 'C:\empty_window.exe')
    # A round where either window was never seen painted (the program failed, or 20 s passed)
    # is left out, and said.
    case "$s$e" in *-* | "") echo "  round $i left out: wizard '$s' ms, empty window '$e' ms"; continue ;; esac
    if [ "$i" -gt 0 ]; then
      setup_times+=("$s") empty_times+=("$e")
      ratios+=("$(awk -v s="$s" -v e="$e" 'BEGIN {printf "%.3f", s / e}')")
    fi
  done
  tb_drop_prefix "$TB_ROOT/pfx-$dpi"
  echo "at $((dpi * 100 / 96)) %:"
  echo "  setup.exe wizard on screen, painted: median $(median "${setup_times[@]}") ms (range $(range "${setup_times[@]}") ms)"
  echo "  empty window, painted:               median $(median "${empty_times[@]}") ms (range $(range "${empty_times[@]}") ms)"
  echo "  ratio of each round, median:         $(median "${ratios[@]}") (range $(range "${ratios[@]}"))"
done
