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
for _ in $(seq 600); do [ -s "$work/display" ] && break; sleep 0.05; done
[ -s "$work/display" ] || fail "Xvfb gave no display within 30 s"
export DISPLAY=":$(cat "$work/display")"
export HOME="$work" XDG_CONFIG_HOME="$work/config" QT_QPA_PLATFORM=xcb LC_ALL=C

"$program" >"$work/app.log" 2>&1 &
app_pid=$!
# Every step waits for what it needs (a window, a file, the clipboard) for at
# most `limit` seconds; a slow machine only makes it wait longer, never fail.
limit=30
window=$(timeout "$limit" xdotool search --sync --onlyvisible --name 'JT4 / PI4' | head -n 1)
[ -n "$window" ] || fail "the window did not show within ${limit} s"
# Without a window manager nothing gives the focus back when a dialog closes.
refocus() { xdotool windowfocus --sync "$window"; }
refocus
keys() { xdotool key --clearmodifiers --delay 60 "$@"; }
# Waits until `test` (a command) succeeds, or fails with `what`.
wait_until() {
  local what=$1
  shift
  local end=$((SECONDS + limit))
  until "$@"; do
    [ "$SECONDS" -lt "$end" ] || fail "$what (waited ${limit} s)"
    sleep 0.05
  done
}
# A file dialog titled $1: waits for it, types the path $2 with Enter, and
# waits until the dialog has gone.
through_dialog() {
  local dialog
  dialog=$(timeout "$limit" xdotool search --sync --onlyvisible --name "$1" | head -n 1)
  [ -n "$dialog" ] || fail "no \"$1\" dialog within ${limit} s"
  xdotool windowfocus --sync "$dialog"
  [ -z "$2" ] || xdotool type --clearmodifiers --delay 30 "$2"
  keys Return
  wait_until "the \"$1\" dialog stayed open" dialog_gone "$1"
}
dialog_gone() { ! xdotool search --onlyvisible --name "$1" >/dev/null 2>&1; }
same_file() { [ -f "$1" ] && cmp -s "$1" "$2"; }

# Focus starts on Output Frequency: Tab twice to Master Reference, 300, Enter.
keys Tab Tab ctrl+a
xdotool type --clearmodifiers --delay 30 300
keys Return

# Ctrl+S on a window that never saved asks for a file name.
keys ctrl+s
through_dialog "Save beacon" "$work/beacon.jt4dds"
# Then the beacon's name for its firmware files, the file's name by default.
through_dialog "Beacon name" ""
wait_until "Ctrl+S wrote no beacon file holding the typed reference" grep -qs '"fref": "300"' "$work/beacon.jt4dds"
grep -q '"name": "beacon"' "$work/beacon.jt4dds" || fail "the saved beacon does not hold the name it was given"

# Alt+F opens File; C picks Export C header.
"$cli" --beacon "$work/beacon.jt4dds" --format c >"$work/cli.h" 2>/dev/null
refocus
keys alt+f c
through_dialog "Export" "$work/words.h"
wait_until "the exported C header differs from jt4dds-cli --format c" same_file "$work/words.h" "$work/cli.h"

# Ctrl+N starts over; Ctrl+O opens the saved beacon; Enter calculates; export JSON.
"$cli" --beacon "$work/beacon.jt4dds" --json >"$work/cli.json" 2>/dev/null
refocus
keys ctrl+n ctrl+o
through_dialog "Open beacon" "$work/beacon.jt4dds"
refocus
keys Return alt+f j
through_dialog "Export" "$work/report.json"
wait_until "the beacon opened with Ctrl+O did not give jt4dds-cli's report" same_file "$work/report.json" "$work/cli.json"

# What Enter calculated, copied with Alt+E, L (Copy listing), is the CLI's listing.
"$cli" --beacon "$work/beacon.jt4dds" >"$work/cli.listing" 2>/dev/null
clipboard_is_listing() {
  xclip -o -selection clipboard >"$work/listing" 2>/dev/null && cmp -s "$work/listing" "$work/cli.listing"
}
refocus
keys alt+e l
wait_until "Enter after Ctrl+O did not calculate the opened beacon's listing" clipboard_is_listing

# Typed without pressing: Copy listing and Export C header press first, so
# both are the new reference's, not what the results box showed.
"$cli" --fref 399.99 >"$work/cli-new.listing" 2>/dev/null
"$cli" --fref 400 --format c >"$work/cli-new.h" 2>/dev/null
clipboard_is_new_listing() {
  xclip -o -selection clipboard >"$work/listing" 2>/dev/null && cmp -s "$work/listing" "$work/cli-new.listing"
}
refocus
keys ctrl+n Tab Tab ctrl+a
xdotool type --clearmodifiers --delay 30 399.99
keys alt+e l
wait_until "Copy listing after typing without a press did not copy the typed plan" clipboard_is_new_listing
refocus
keys ctrl+n Tab Tab ctrl+a
xdotool type --clearmodifiers --delay 30 400
keys alt+f c
through_dialog "Export" "$work/new.h"
wait_until "Export C header after typing without a press did not export the typed plan" same_file "$work/new.h" "$work/cli-new.h"

# Apply fix from the keyboard: a decimal comma, Enter, Ctrl+T, and Alt+A
# in Tone details types the one fix (2320.1) and calculates; Ctrl+Z in
# Output Frequency (its text set by the fix, so no typing of its own to
# undo) puts the comma back and calculates again.
"$cli" --fout 2320.1 --fref 300 >"$work/cli-fixed.listing" 2>/dev/null
"$cli" --fout 2320,1 --fref 300 >"$work/cli-comma.listing" 2>/dev/null
clipboard_is() {
  xclip -o -selection clipboard >"$work/listing" 2>/dev/null && cmp -s "$work/listing" "$1"
}
refocus
keys ctrl+n ctrl+a
xdotool type --clearmodifiers --delay 30 2320,1
keys Tab Tab ctrl+a
xdotool type --clearmodifiers --delay 30 300
keys Return ctrl+t
details=$(timeout "$limit" xdotool search --sync --onlyvisible --name 'Tone details' | head -n 1)
[ -n "$details" ] || fail "Ctrl+T showed no Tone details"
xdotool windowfocus --sync "$details"
keys alt+a
refocus
keys alt+e l
wait_until "Alt+A in Tone details did not type and calculate the fix" clipboard_is "$work/cli-fixed.listing"
refocus
keys shift+Tab shift+Tab ctrl+z alt+e l
wait_until "Ctrl+Z after Apply fix did not bring back the typed text" clipboard_is "$work/cli-comma.listing"

# The second of two fixes from the keyboard: the initial values offer a
# reference and a multiplication for their dead words; Alt+2 in Tone details
# applies the multiplication (both buttons answered to Alt+A, which only
# moved the focus), and Ctrl+Z there undoes it (it did nothing there).
"$cli" --mult 27 >"$work/cli-mult27.listing" 2>/dev/null
"$cli" >"$work/cli-initial.listing" 2>/dev/null
refocus
keys ctrl+n Return ctrl+t
details=$(timeout "$limit" xdotool search --sync --onlyvisible --name 'Tone details' | head -n 1)
xdotool windowfocus --sync "$details"
keys alt+2
refocus
keys alt+e l
wait_until "Alt+2 in Tone details did not apply the second fix" clipboard_is "$work/cli-mult27.listing"
xdotool windowfocus --sync "$details"
keys ctrl+z
refocus
keys alt+e l
wait_until "Ctrl+Z in Tone details did not undo the fix" clipboard_is "$work/cli-initial.listing"
refocus
keys ctrl+q
program_ended() { ! kill -0 "$app_pid" 2>/dev/null; }
wait_until "Ctrl+Q did not end the program" program_ended
app_pid=
echo "real keys: Enter, Ctrl+S, Alt+F menu export, Ctrl+N, Ctrl+O, Alt+E copy, copies and exports of unpressed fields, Apply fix by Alt+A and Alt+2, Ctrl+Z in the field and in Tone details, and Ctrl+Q all did what they say"
