#!/usr/bin/env bash
# Runs the real-window test and a start of the built program on a private X server, and keeps
# screenshots of both as artifacts.
#   run_real_window.sh <real_window_test> <capcode-programmer> <artifacts folder>
set -euo pipefail
test_binary="$1"
program="$2"
artifacts="$3"
mkdir -p "$artifacts"

fdfile="$(mktemp)"
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$fdfile" 2>/dev/null &
xvfb=$!
app=""
cleanup() {
  [ -n "$app" ] && kill "$app" 2>/dev/null || true
  kill "$xvfb" 2>/dev/null || true
  rm -f "$fdfile"
  [ -n "${home:-}" ] && rm -rf "$home"
}
trap cleanup EXIT
for _ in $(seq 100); do [ -s "$fdfile" ] && break; sleep 0.1; done
export DISPLAY=":$(cat "$fdfile")"
export QT_QPA_PLATFORM=xcb
# The programs keep their settings, journal and backups here, never in the user's folders.
home="$(mktemp -d)"
export XDG_DATA_HOME="$home/data" XDG_CONFIG_HOME="$home/config"

# --help and --version answer without any display.
env -u DISPLAY QT_QPA_PLATFORM=xcb "$program" --version | grep -q "CCP V1.4"
env -u DISPLAY QT_QPA_PLATFORM=xcb "$program" --help | grep -q "^Usage: capcode-programmer"

# The built program itself: it starts and shows its window with the build's title.
"$program" &
app=$!
window="$(xdotool search --sync --name "QPX730E Capcode Programmer-Customer version" | head -1)"
# It carries its icon for the task bar and the window list.
# The window is found by its title, which may reach the X server just before the icon does.
# grep reads all that xprop writes: with -q it would stop at the match, and xprop, still writing
# the icon's pixels, would end on a broken pipe that pipefail counts as no icon.
has_icon() { xprop -id "$window" _NET_WM_ICON | grep '^_NET_WM_ICON(CARDINAL) = ' >/dev/null; }
for _ in $(seq 50); do has_icon && break; sleep 0.1; done
has_icon || { echo "the window has no icon"; exit 1; }
if command -v import >/dev/null; then import -window root "$artifacts/program-start.png"; fi
kill "$app"
wait "$app" 2>/dev/null || true
app=""

CCP_ARTIFACTS="$artifacts" "$test_binary"
