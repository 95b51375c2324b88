#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs the package with apt as a user would, checks what it brings, then
# removes it and checks that nothing of it is left. Needs root.
#   packaging/install_test.sh build/package/jt4dds_*.deb
set -euo pipefail
deb=$(realpath "$1")
root=$(cd "$(dirname "$0")/.." && pwd)
fail() { echo "install test: $*" >&2; exit 1; }
[ "$(id -u)" -eq 0 ] || fail "needs root (it installs and removes the package)"
dpkg-query -W jt4dds >/dev/null 2>&1 && apt-get purge -y -q jt4dds >/dev/null

export DEBIAN_FRONTEND=noninteractive
apt-get install -y -q "$deb" >/dev/null
files=$(dpkg -L jt4dds | while read -r f; do if [ -f "$f" ]; then echo "$f"; fi; done)

/usr/bin/jt4dds-cli --fref 300 2>/dev/null | cmp - "$root/tests/cli/golden/fref300.listing" ||
  fail "the installed jt4dds-cli does not print the known listing"
MANPAGER=cat MANWIDTH=80 man jt4dds-cli 2>/dev/null | grep -q 'compute the tuning words' ||
  fail "man jt4dds-cli shows no page"
/usr/bin/jt4dds --version | grep -qx "jt4dds [0-9.]*" || fail "jt4dds --version"
# The window starts and shows itself on a virtual display.
# It waits for the window, however long the machine takes, up to a minute.
xvfb-run -a sh -c '/usr/bin/jt4dds & app=$!; timeout 60 xdotool search --sync --onlyvisible --name "JT4 / PI4" >/dev/null;
                   found=$?; kill $app; exit $found' || fail "the installed window did not show within a minute"
# Playing a minute runs the program's own player, which alone loads Qt Multimedia.
[ -x /usr/libexec/jt4dds/jt4dds-play ] || fail "the player (jt4dds-play) is not installed"
! ldd /usr/bin/jt4dds | grep -q libQt6Multimedia || fail "jt4dds loads Qt Multimedia at start"
bash -c '. /usr/share/bash-completion/completions/jt4dds-cli; COMP_WORDS=(jt4dds-cli --format ""); COMP_CWORD=2;
         _jt4dds_cli; [ "${COMPREPLY[*]}" = "listing asm c json report symbols wav" ]' || fail "bash completion of --format"
bash -c '. /usr/share/bash-completion/completions/jt4dds-cli; COMP_WORDS=(jt4dds-cli --dds AD985); COMP_CWORD=2;
         _jt4dds_cli; [ "${COMPREPLY[*]}" = "AD9850 AD9851 AD9858" ]' || fail "bash completion of --dds"

apt-get purge -y -q jt4dds >/dev/null
left=$(for f in $files; do if [ -e "$f" ]; then echo "$f"; fi; done)
[ -z "$left" ] || fail "removing the package left: $left"
echo "install test: apt installed it with its dependencies, jt4dds-cli, man, the window and completion work, and purge left nothing"
