#!/bin/bash
# Screenshots of the install and removal wizards in their Ready, Running and Completed states,
# in Traditional Chinese (the program's own texts) and in English, and of the install wizard's
# Ready and Completed pages in German, Japanese and Russian, and of the install wizard's Ready and
# Completed pages at 150 % and 200 % (the prefix's LogPixels) in English and Japanese, taken under
# Wine with Xvfb into docs/. The mouse clicks where a user would; service mode (Windows Vista)
# keeps the work running for two seconds (the service release pauses), long enough to catch the
# Running state.
#   scripts/screenshots.sh
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-tools.sh
cmake --preset x64 >/dev/null
cmake --build --preset x64 >/dev/null
OUT=$PWD/docs
mkdir -p "$OUT"

. scripts/testbed.sh
tb_init
tb_template
tb_start_xvfb 1600x1200

wine_quiet() { "$WINE" "$@" </dev/null >/dev/null 2>&1; }

# Waits for the visible window of process $1; prints "x y" of its top-left corner.
window_origin() {
  local wid
  wid=$(timeout 30 xdotool search --sync --onlyvisible --pid "$1" | head -1)
  xdotool getwindowgeometry --shell "$wid" | awk -F= '/^X=/{x=$2} /^Y=/{y=$2} END{print x, y}'
}
# The display's scale in dots per inch, for the window's size and the places clicked.
DPI=96
px() { echo $(( ($1 * DPI * 2 + 96) / 192 )); }
shot() {  # name x y
  xdotool mousemove 0 0
  sleep 0.3
  import -window root -crop "$(px 584)x$(px 414)+$2+$3" +repage "$OUT/$1.png"
  echo "  $OUT/$1.png"
}
click() { xdotool mousemove "$1" "$2" click 1; }

# One wizard: $1 name, $2 language, $3 "all" for the Running page too, then the command line.
run_wizard() {
  local name=$1 lang=$2 pages=$3 pid ox oy
  shift 3
  LC_ALL=$lang "$WINE" "$@" </dev/null >/dev/null 2>&1 &
  pid=$!
  read -r ox oy < <(window_origin "$pid")
  sleep 0.5
  shot "$name-ready" "$ox" "$oy"
  click $((ox + $(px 385))) $((oy + $(px 385)))
  sleep 0.7
  [ "$pages" = all ] && shot "$name-running" "$ox" "$oy"
  sleep 3
  shot "$name-completed" "$ox" "$oy"
  # Finish without launching: untick the box of the install wizard first.
  [[ $name == *install* ]] && click $((ox + $(px 224))) $((oy + $(px 213))) && sleep 0.3
  click $((ox + $(px 385))) $((oy + $(px 385)))
  wait "$pid" || true
}

for lang in zh_TW en_US de_DE ja_JP ru_RU; do
  tb_new_prefix "$TB_ROOT/pfx-$lang"
  cp -r build/x64-release/sample-payload "$WINEPREFIX/drive_c/payload"
  wine_quiet winecfg -v vista
  # A first install, so that the wizard's install releases its service before copying.
  wine_quiet 'C:\payload\setup.exe' s
  suffix=${lang%%_*}
  echo "$lang:"
  case $lang in
    zh_TW|en_US)
      run_wizard "wizard-install-$suffix" "$lang.UTF-8" all 'C:\payload\setup.exe'
      run_wizard "wizard-removal-$suffix" "$lang.UTF-8" all 'C:\Program Files\KRT55A\Uninstall\setup.exe' delpkg;;
    *)
      run_wizard "wizard-install-$suffix" "$lang.UTF-8" some 'C:\payload\setup.exe';;
  esac
done

for dpi in 144 192; do
  for lang in en_US ja_JP; do
    tb_new_prefix "$TB_ROOT/pfx-$lang-$dpi"
    cp -r build/x64-release/sample-payload "$WINEPREFIX/drive_c/payload"
    wine_quiet reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f
    wine_quiet winecfg -v vista
    wine_quiet 'C:\payload\setup.exe' s
    DPI=$dpi
    echo "$lang at $((dpi * 100 / 96)) %:"
    run_wizard "wizard-install-${lang%%_*}-$((dpi * 100 / 96))" "$lang.UTF-8" some 'C:\payload\setup.exe'
    DPI=96
  done
done
