#!/bin/bash
# A benchmark, not a test: times "setup.exe s" of the product's build for x86_64 against the floor
# program (tests/bench/FloorInstall.cpp, the same install in straight-line Win32 calls) on a
# 170-file job, alternately A B A B ..., each run in its own fresh prefix with a warmed wineserver,
# after one untimed warm-up run of each. Prints the medians, min-max and the ratio of the medians.
# The warm-up also starts the session's desktop, which a real system always has: its start-up
# (about 0.4 s here) would otherwise land in whichever call first needs a window and swamp the
# difference being measured.
#   scripts/bench-silent.sh [timed runs per side, at least 10; default 10]
set -euo pipefail
cd "$(dirname "$0")/.."
RUNS=${1:-10}
[ "$RUNS" -ge 10 ] || { echo "bench-silent: at least 10 runs per side" >&2; exit 2; }
scripts/install-tools.sh
cmake --preset x64-release >/dev/null
cmake --build --preset x64-release >/dev/null
BUILD=$PWD/build/x64-release

. scripts/testbed.sh
tb_init
tb_template
tb_start_xvfb

# The job: the sample payload with every image of the install's table and 40 files in Images,
# which makes 170 installed files.
PAYLOAD=$TB_ROOT/payload
cp -r "$BUILD/sample-payload" "$PAYLOAD"
for name in $(grep -o 'L"[^"]*\.\(gif\|ico\|png\|bmp\)"' engine/platform/FileTables.cpp | sed 's/^L"//; s/"$//'); do
  [ -f "$PAYLOAD/Application/$name" ] || cp "$PAYLOAD/Application/center.gif" "$PAYLOAD/Application/$name"
done
for i in $(seq 1 37); do cp "$PAYLOAD/Application/Images/disk_ok.bmp" "$PAYLOAD/Application/Images/extra$i.bmp"; done
cp "$BUILD/tests/bench/floor_install.exe" "$PAYLOAD/"

# One run in a fresh prefix: sets RUN_MS to its wall time and RUN_FILES to the installed files.
run_once() {
  local program=$1 args=$2 pfx=$TB_ROOT/pfx start end rc=0
  tb_new_prefix "$pfx"
  "$WINE" rundll32.exe user32.dll,GetDesktopWindow </dev/null >/dev/null 2>&1 || true
  cp -r "$PAYLOAD" "$pfx/drive_c/payload"
  start=$(date +%s%N)
  "$WINE" "C:\\payload\\$program" $args </dev/null >/dev/null 2>&1 || rc=$?
  end=$(date +%s%N)
  RUN_MS=$(( (end - start) / 1000000 ))
  RUN_FILES=$(find "$pfx/drive_c/Program Files/KRT55A" -type f | wc -l)
  tb_drop_prefix "$pfx"
  [ "$rc" -eq 0 ] || { echo "bench-silent: $program ended with $rc" >&2; exit 1; }
}

stats() {  # median, min and max of the numbers on stdin
  sort -n | awk '{ v[NR] = $1 } END { m = (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2;
                                      printf "%d %d %d\n", m, v[1], v[NR] }'
}

run_once setup.exe s
setup_files=$RUN_FILES
run_once floor_install.exe ""
echo "files installed: setup.exe $setup_files, floor $RUN_FILES (warm-up runs, not timed)"
A=() B=()
for i in $(seq 1 "$RUNS"); do
  run_once setup.exe s
  A+=("$RUN_MS")
  run_once floor_install.exe ""
  B+=("$RUN_MS")
  echo "run $i: setup.exe s ${A[-1]} ms, floor ${B[-1]} ms"
done
read -r am amin amax < <(printf '%s\n' "${A[@]}" | stats)
read -r bm bmin bmax < <(printf '%s\n' "${B[@]}" | stats)
echo "setup.exe s: median ${am} ms (min ${amin}, max ${amax}) over $RUNS runs"
echo "floor:       median ${bm} ms (min ${bmin}, max ${bmax}) over $RUNS runs"
awk -v a="$am" -v b="$bm" 'BEGIN { printf "ratio of medians: %.3f\n", a / b }'
