#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The real program on a virtual display, driven by real key presses only:
# Enter calculates, Ctrl+S saves through the file dialog, the File menu is
# reached with Alt+F and exports a C header identical to jt4dds-cli's,
# Ctrl+N starts over and Ctrl+O opens the saved beacon again.
#   real_keys.sh JT4DDS JT4DDS-CLI
set -euo pipefail
program=$1
cli=$2
work=$(mktemp -d)
xvfb_pid=
app_pid=
finish() {
  [ -n "$app_pid" ] && kill "$app_pid" 2>/dev/null || true
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
  rm -rf "$work"
}
trap finish EXIT
fail() { echo "real_keys: $*" >&2; exit 1; }

Xvfb -displayfd 3 -noreset -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" >/dev/null 2>&1 &
xvfb_pid=$!
for _ in $(seq 50); do [ -s "$work/display" ] && break; sleep 0.1; done
export DISPLAY=":$(cat "$work/display")"
export HOME="$work" XDG_CONFIG_HOME="$work/config" QT_QPA_PLATFORM=xcb LC_ALL=C

"$program" >"$work/app.log" 2>&1 &
app_pid=$!
window=$(xdotool search --sync --onlyvisible --name 'JT4 / PI4' | head -n 1)
xdotool windowactivate --sync "$window" >/dev/null 2>&1 || xdotool windowfocus --sync "$window"
pause() { sleep "${1:-0.6}"; }
# Without a window manager nothing gives the focus back when a dialog closes.
refocus() { xdotool windowfocus --sync "$window"; pause 0.3; }
keys() { xdotool key --clearmodifiers --delay 60 "$@"; pause; }
type_text() { xdotool type --clearmodifiers --delay 30 "$1"; pause 0.3; }
pause 1

# Focus starts on Output Frequency: Tab twice to Master Reference, 300, Enter.
keys Tab Tab ctrl+a
type_text 300
keys Return

# Ctrl+S on a window that never saved asks for a file name.
keys ctrl+s
pause 1
type_text "$work/beacon.jt4dds"
keys Return
pause 1
[ -f "$work/beacon.jt4dds" ] || fail "Ctrl+S wrote no beacon file"
grep -q '"fref": "300"' "$work/beacon.jt4dds" || fail "the saved beacon does not hold the typed reference"

# Alt+F opens File; C picks Export C header.
refocus
keys alt+f
keys c
pause 1
type_text "$work/words.h"
keys Return
pause 1
"$cli" --fref 300 --format c >"$work/cli.h" 2>/dev/null
cmp -s "$work/words.h" "$work/cli.h" || fail "the exported C header differs from jt4dds-cli --format c"

# Ctrl+N starts over; Ctrl+O opens the saved beacon; Enter calculates; export JSON.
refocus
keys ctrl+n
keys ctrl+o
pause 1
type_text "$work/beacon.jt4dds"
keys Return
pause 1
refocus
keys Return
keys alt+f
keys j
pause 1
type_text "$work/report.json"
keys Return
pause 1
"$cli" --beacon "$work/beacon.jt4dds" --json >"$work/cli.json" 2>/dev/null
cmp -s "$work/report.json" "$work/cli.json" || fail "the beacon opened with Ctrl+O did not give jt4dds-cli's report"

# What Enter calculated, copied with Alt+E, L (Copy listing), is the CLI's listing.
refocus
keys alt+e
keys l
xclip -o -selection clipboard >"$work/listing" 2>/dev/null || true
"$cli" --beacon "$work/beacon.jt4dds" >"$work/cli.listing" 2>/dev/null
cmp -s "$work/listing" "$work/cli.listing" || fail "Enter after Ctrl+O did not calculate the opened beacon's listing"

refocus
keys ctrl+q
for _ in $(seq 30); do kill -0 "$app_pid" 2>/dev/null || break; sleep 0.1; done
kill -0 "$app_pid" 2>/dev/null && fail "Ctrl+Q did not end the program"
app_pid=
echo "real keys: Enter, Ctrl+S, Alt+F menu export, Ctrl+N, Ctrl+O, Alt+E copy and Ctrl+Q all did what they say"
