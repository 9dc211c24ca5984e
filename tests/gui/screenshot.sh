#!/usr/bin/env bash
# Saves PNG pictures of the main window on the demo card and of every dialog
# (system settings on the WQ-7000 and WQ-5000, pattern windows, Phrase Setup
# for an audio, a MIDI and a pattern phrase, maintenance and convert), in
# English and in Japanese, under a virtual X display.
#   tests/gui/screenshot.sh [BUILD_DIR] [OUTPUT_DIR]
# Needs xvfb-run (Debian: xvfb, xauth) and a CJK font for the Japanese texts
# (fonts-noto-cjk is in the install list; fonts-ipafont-gothic works too).
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=${1:-$root/build}
out=${2:-$build/screenshots}
command -v xvfb-run >/dev/null || { echo "screenshot.sh: xvfb-run is not installed (apt-get install xvfb xauth)" >&2; exit 1; }
[ -x "$build/wqe7000" ] || { echo "screenshot.sh: $build/wqe7000 not found; build first" >&2; exit 1; }
[ -f "$build/demo-card/_WQ7TSYS.CNF" ] || { echo "screenshot.sh: $build/demo-card not found; build first" >&2; exit 1; }
mkdir -p "$out"

# The editor remembers the opened card; keep that away from the user's settings.
settings=$(mktemp -d)
trap 'rm -rf "$settings"' EXIT

for lang in en ja; do
  case $lang in
    en) locale=C.UTF-8 ;;
    ja) locale=ja_JP.UTF-8 ;;
  esac
  XDG_CONFIG_HOME=$settings WQE_LANG=$lang LANG=$locale QT_QPA_PLATFORM=xcb \
    xvfb-run -a -s "-screen 0 1400x1000x24" \
    "$build/wqe7000" --screenshot "$out/main-window-$lang.png" "$build/demo-card"
  echo "$out/main-window-$lang.png"
  # Every dialog: system settings and choosers, pattern windows, Phrase Setup,
  # maintenance and convert dialogs.
  if [ -x "$build/tests/gui/gui_test_dialogs_look" ]; then
    XDG_CONFIG_HOME=$settings WQE_LANG=$lang LANG=$locale QT_QPA_PLATFORM=xcb WQE_SHOT_DIR=$out \
      xvfb-run -a -s "-screen 0 1400x1000x24" \
      "$build/tests/gui/gui_test_dialogs_look" -silent
    ls "$out"/*-"$lang".png | grep -v main-window
  fi
done
