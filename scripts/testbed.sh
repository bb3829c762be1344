# Wine test bed, sourced by the scripts: one template prefix made once and copied per run,
# a persistent wineserver per prefix, Xvfb on a free display, HOME in a scratch folder,
# and everything stopped by PID on exit, failure or interrupt.
# shellcheck shell=bash

TB_REPO=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
# The Wine loader and its server: the only place that names them (the build, the tests and the
# scripts all reach Wine through this file).
export WINE=/usr/lib/wine/wine64
export WINESERVER=/usr/lib/wine/wineserver64
export WINEDEBUG=-all
export WINEDLLOVERRIDES="winemenubuilder.exe=d;mscoree=d;mshtml=d"
# Set to use a template of one's own; otherwise tb_template names it after what it is made from.
TB_TEMPLATE=${TB_TEMPLATE:-}

TB_ROOT= TB_XPID= TB_CHILD=
TB_SERVERS=()    # "pid prefix" pairs

tb_cleanup() {
  # Every step runs whatever an earlier one returns (a server stopped by -k may end with a failure).
  set +e
  local entry pid pfx
  [ -n "$TB_CHILD" ] && kill "$TB_CHILD" 2>/dev/null
  for entry in "${TB_SERVERS[@]}"; do
    pid=${entry%% *}; pfx=${entry#* }
    WINEPREFIX=$pfx "$WINESERVER" -k 2>/dev/null
    wait "$pid" 2>/dev/null
  done
  TB_SERVERS=()
  if [ -n "$TB_XPID" ]; then kill "$TB_XPID" 2>/dev/null; wait "$TB_XPID" 2>/dev/null; TB_XPID=; fi
  [ -n "$TB_ROOT" ] && rm -rf "$TB_ROOT"
  TB_ROOT=
}

# Scratch root with its own HOME; cleaned up however the script ends.
tb_init() {
  TB_ROOT=$(mktemp -d "${TMPDIR:-/tmp}/setup-testbed.XXXXXX")
  export HOME=$TB_ROOT/home
  mkdir -p "$HOME"
  trap tb_cleanup EXIT
  trap 'exit 130' INT
  trap 'exit 143' TERM
}

# What the template is made from: the recipe below, the Wine that runs it, its DLL overrides and
# the fonts on the machine (Wine lists them into the prefix when it is made).
tb_template_inputs() {
  declare -f tb_make_template
  "$WINE" --version
  echo "$WINEDLLOVERRIDES"
  find /usr/share/fonts /usr/local/share/fonts -type f 2>/dev/null | sort
}

# The template prefix: made once (about 15 s), then only copied. Its folder is named after a hash
# of its inputs, so a change to any of them makes a new one instead of reusing an old one.
tb_template() {
  local cache=$TB_REPO/.cache hash
  if [ -z "$TB_TEMPLATE" ]; then
    hash=$(tb_template_inputs | sha256sum | cut -c1-12)
    TB_TEMPLATE=$cache/wine-template-$hash
  fi
  mkdir -p "$(dirname "$TB_TEMPLATE")"
  (
    flock 9
    [ -f "$TB_TEMPLATE/system.reg" ] && exit 0
    # Templates of earlier inputs are of no further use.
    if [ "$(dirname "$TB_TEMPLATE")" = "$cache" ]; then
      find "$cache" -maxdepth 1 -name 'wine-template-*' ! -name "${TB_TEMPLATE##*/}*" -exec rm -rf {} +
    fi
    tb_make_template
  ) 9>"$TB_TEMPLATE.lock"
}

# Makes the template at $TB_TEMPLATE (in a subshell of tb_template, under its lock).
tb_make_template() {
  rm -rf "$TB_TEMPLATE" "$TB_TEMPLATE.tmp"
  export WINEPREFIX=$TB_TEMPLATE.tmp HOME=$TB_TEMPLATE.home
  unset DISPLAY
  mkdir -p "$HOME"
  "$WINE" wineboot -i </dev/null >/dev/null 2>&1
  "$WINE" reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f </dev/null >/dev/null 2>&1
  "$WINE" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f </dev/null >/dev/null 2>&1
  # What a Chinese Windows has: the faces the wizard asks for fall back to a CJK font.
  local face
  for face in Arial Tahoma "Microsoft Sans Serif" "MS Shell Dlg" "MS Shell Dlg 2"; do
    "$WINE" reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontLink\SystemLink' /v "$face" \
      /t REG_MULTI_SZ /d 'wqy-microhei.ttc,WenQuanYi Micro Hei' /f </dev/null >/dev/null 2>&1
  done
  "$WINESERVER" -w
  # The user folders are symlinks into the template's HOME: make them real folders.
  for l in "$WINEPREFIX"/drive_c/users/*/*; do
    if [ -L "$l" ]; then rm "$l"; mkdir "$l"; fi
  done
  rm -rf "$HOME"
  mv "$WINEPREFIX" "$TB_TEMPLATE"
}

# Xvfb on a display it picks itself; the screen is $1 (WIDTHxHEIGHT, default 1024x768: a screen
# that holds the wizard at 200 % needs 1600x1200).
tb_start_xvfb() {
  local fd_file=$TB_ROOT/display i
  Xvfb -displayfd 9 -screen 0 "${1:-1024x768}x24" -nolisten tcp 9>"$fd_file" >/dev/null 2>&1 &
  TB_XPID=$!
  for i in $(seq 200); do [ -s "$fd_file" ] && break; sleep 0.05; done
  [ -s "$fd_file" ] || { echo "testbed: Xvfb did not start" >&2; return 1; }
  export DISPLAY=:$(cat "$fd_file")
}

# A fresh copy of the template at $1, with its own warmed-up persistent server;
# WINEPREFIX is exported to point at it.
tb_new_prefix() {
  local pfx=$1 pid
  # The template's contents: a template reached through a link is copied, never written to.
  mkdir "$pfx"
  cp -a "$TB_TEMPLATE/." "$pfx"
  export WINEPREFIX=$pfx
  "$WINESERVER" -f -p </dev/null >/dev/null 2>&1 &
  pid=$!
  TB_SERVERS+=("$pid $pfx")
  "$WINE" cmd /c exit </dev/null >/dev/null 2>&1
}

# Stops the server of the prefix at $1 (made by tb_new_prefix) and removes the prefix.
tb_drop_prefix() {
  local pfx=$1 entry kept=()
  for entry in "${TB_SERVERS[@]}"; do
    if [ "${entry#* }" = "$pfx" ]; then
      WINEPREFIX=$pfx "$WINESERVER" -k 2>/dev/null || true
      wait "${entry%% *}" 2>/dev/null || true  # its status is of no interest, and not always 0
    else
      kept+=("$entry")
    fi
  done
  TB_SERVERS=("${kept[@]}")
  rm -rf "$pfx"
}

# Runs a command in the background so that INT and TERM are handled at once.
tb_run() {
  "$@" &
  TB_CHILD=$!
  local rc=0
  wait "$TB_CHILD" || rc=$?
  TB_CHILD=
  return $rc
}
