#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The Windows jt4dds-cli.exe under Wine against the native tool: standard
# output and standard error byte for byte (the listing's CR LF included), the
# exit status, --output and beacon files, and non-ASCII arguments and file
# names, over the command-line tool's cases in every format.
#   tests/windows/compare_with_wine.sh NATIVE-JT4DDS-CLI WINDOWS-EXE
set -uo pipefail
native=$(realpath "$1")
exe=$(realpath "$2")
work=$(mktemp -d)
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" WINEPREFIX="$work/wine"
# Wine hands a Windows program its arguments and file names through the Unix
# locale's character set: under the POSIX locale (a shell started with no
# LANG) the non-ASCII cases arrive garbled. Both tools run under UTF-8.
export LC_ALL=C.UTF-8
# Debian starts the Wine server with no persistence (-p0): it quits the moment
# the last Windows process ends. A run started in that moment connects to a
# server that is going away, gets "recvmsg: Connection reset by peer" and
# writes nothing, and a second server can start for the same prefix. So the
# prefix is made first and its setup waited out (wineboot goes on in the
# background after the first run returns), then one server serves every run
# and is stopped at the end: there is no moment without a server.
finish() {
  wineserver -k 2>/dev/null || true
  wineserver -w 2>/dev/null || true
  rm -rf "$work"
}
trap finish EXIT
wine "$exe" --version >/dev/null 2>&1  # makes the Wine prefix
wineserver -w                          # until its setup has ended, and its server with it
wineserver -p                          # one server for all the runs, until finish()

compared=0
failed=0
# Runs both tools with the same arguments in their own folder and compares
# everything they give; both start in an empty folder of their own.
same() {
  local name=$1
  shift
  rm -rf "$work/n" "$work/w"
  mkdir -p "$work/n" "$work/w"
  (cd "$work/n" && "$native" "$@" >"$work/n.out" 2>"$work/n.err"; echo $? >"$work/n.status")
  (cd "$work/w" && wine "$exe" "$@" >"$work/w.out" 2>"$work/w.err"; echo $? >"$work/w.status")
  compared=$((compared + 1))
  local what
  for what in out err status; do
    if ! cmp -s "$work/n.$what" "$work/w.$what"; then
      echo "differs: $name: $what" >&2; [ -n "${SHOW:-}" ] && diff <(od -c "$work/n.$what") <(od -c "$work/w.$what") | head -8 >&2
      failed=$((failed + 1))
      return
    fi
  done
  if ! diff -r "$work/n" "$work/w" >/dev/null; then
    echo "differs: $name: files written" >&2
    failed=$((failed + 1))
  fi
}

beacons=(
  "initial_values|"
  "reference_300|--fref 300"
  "pi4|--fref 300 --submode PI4"
  "option_800|--fref 300 --ref800"
  "reverse_2m|--fout 144.4 --mult 1 --fref 10 --config reverse"
  "reverse_3cm_jt4g_800|--fout 9600 --fref 10 --submode G --config reverse --ref800"
  "negative_output|--fout=-10 --mult 1 --fref 100"
  "decimal_comma|--fout 2320,1 --fref 300"
  "empty_mult_ends_early|--mult="
  "reverse_aux_word_zero|--fout 100 --mult 1 --fref 35 --config reverse"
  "beyond_range|--aux 1e400"
  "comma_separator|--fref 300 --decimal-separator ,"
)
for row in "${beacons[@]}"; do
  name=${row%%|*}
  read -r -a args <<<"${row#*|}"
  for format in listing asm c json report; do
    same "$name/$format" "${args[@]}" --format "$format"
    same "$name/$format/force" "${args[@]}" --format "$format" --force
  done
  same "$name/strict" "${args[@]}" --strict
  same "$name/output" "${args[@]}" --format c --output words.h
done

# Non-ASCII arguments and file names, both ways.
same "non_ascii_argument" --fout "2320.1 MHz — Bake Grün" --fref 300
same "non_ascii_output_file" --fref 300 --format asm --output "wörter-ßeacon.inc"
same "save_beacon_non_ascii" --fref 300 --submode G --ref800 --save-beacon "bäke.jt4dds"
cp "$work/n/bäke.jt4dds" "$work/bäke.jt4dds"
same "beacon_non_ascii" --beacon "../bäke.jt4dds" --format json
same "find" --find --mults 24 --refs 250,300
same "find_json" --find --format json --mults 1-48 --refs 100-400/25
same "find_nothing" --find --fout 10368.9 --submode A --mults 96 --refs 100-120
same "symbols_jt4" --message "CQ K1ABC FN42" --format symbols
same "symbols_pi4_free_text_refused" --submode PI4 --message "OZ7IGY/B1" --format symbols
same "symbols_jt4_free_text" --message "tnx 73 de oz7igy!" --format symbols
# The minute as heard: the noise is the program's own generator, and the
# tones' sines round alike in both C libraries.
same "wav_noisy_output" --fref 300 --message "CQ K1ABC FN42" --format wav --snr -22 --output m.wav
same "wav_pi4_stdout" --fref 300 --submode PI4 --message OZ7IGY --format wav --snr -15 --seed 7
same "wav_largest_seed" --fref 300 --message "CQ K1ABC FN42" --format wav --snr -22 --seed 18446744073709551615
same "wav_seed_past_64_bits_refused" --fref 300 --message "CQ K1ABC FN42" --format wav --snr -22 --seed 18446744073709551616
same "wav_snr_not_a_number_refused" --fref 300 --message "CQ K1ABC FN42" --format wav --snr nan
same "wav_ref_ppm_outside_the_audio" --fref 300 --message "CQ K1ABC FN42" --format wav --ref-ppm 1000
same "firmware_avr_8mhz" --fref 300 --message "CQ K1ABC FN42" --cw-id K1ABC --mcu-clock 8000000 --format firmware-avr
same "firmware_pic_pi4" --fref 300 --submode PI4 --message OZ7IGY --key-down 1270 --format firmware-pic
same "firmware_pic_timer_refused" --fref 300 --message "CQ K1ABC FN42" --timer-hz 1000 --format firmware-pic
same "usage_error" --format hex
# A folder that is not there: the file is named as given, on every system.
same "output_in_a_missing_folder" --fref 300 --output missing/words.inc
same "beacon_saved_in_a_missing_folder" --fref 300 --save-beacon missing/b.jt4dds
# Invalid UTF-8 cannot reach a Windows program: its arguments arrive as
# UTF-16, into which Wine has already turned such a byte into U+FFFD.
same "help" --help
same "version" --version

echo "$compared compared with Wine, $failed differ"
echo "$((compared - failed)) passed, $failed failed"
[ "$failed" -eq 0 ]
