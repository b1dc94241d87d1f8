#!/bin/sh
# SPDX-License-Identifier: MIT
# Drives Tessivane with the keyboard under Xvfb, as a person would: fills in the settings, saves
# through the real "Save" dialog, starts anew, opens the file through the real "Open" dialog, saves
# a copy with "Save As", leaves with F4, and checks the files; a 10 MB description comes back
# whole; SIGTERM or SIGHUP during a save of 85 MB ends the program with 128 + the signal and the
# file whole (as it was, or the new one where the save had got past the point of no return) and
# nothing beside it; however the program ends (F4, SIGTERM, SIGKILL) neither it nor its
# preview leaves anything in its home or temporary folders. No session bus is started: the
# program is told of none it may use. Waits allow for a loaded machine. Exits 77 (skipped)
# without Xvfb or xdotool.
# Usage: xvfb_save_open.sh PROGRAM
set -eu
program=${1:?usage: xvfb_save_open.sh PATH/TO/tessivane}
for t in Xvfb xdotool; do command -v $t >/dev/null || { echo "SKIP: no $t"; exit 77; }; done
work=$(mktemp -d)
xvfb_pid= app_pid=
trap 'kill $app_pid $xvfb_pid 2>/dev/null || true; rm -rf "$work"' EXIT
trap 'exit 1' INT TERM
fail() { echo "FAIL: $*" >&2; cat "$work/app.log" >&2 2>/dev/null; exit 1; }
# Runs the command ten times a second until it succeeds, at most $1 times.
retry() { n=$1; shift; until "$@"; do n=$((n - 1)); [ $n -gt 0 ] && sleep 0.1 || return 1; done; }
# -noreset: the server would otherwise reset when the last program leaves it, and refuse the
# next one for that moment.
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset 3>"$work/display" 2>/dev/null & xvfb_pid=$!
retry 600 test -s "$work/display" || fail "Xvfb did not start"
export DISPLAY=":$(cat "$work/display")"

window() {  # waits for the window titled exactly $1, and focuses it (there is no window manager)
    # (a search fails outright when another window goes while it looks: it is asked again)
    title=$1
    retry 600 eval 'id=$(xdotool search --onlyvisible --name "^$title\$" 2>/dev/null | head -n1)
                    [ -n "$id" ]' || fail "no window titled '$1' appeared"
    xdotool windowfocus --sync "$id"; sleep 0.3
}
gone() { ! xdotool search --onlyvisible --name "^$1\$" >/dev/null 2>&1; }
keys() { xdotool key --delay 60 "$@"; }
# Types over the whole text, so that a size box never passes through an empty text.
retype() { keys Home shift+End; xdotool type --delay 25 "$1"; }
file_dialog() {  # types $2 into dialog $1; Return may first only take the name's completion
    window "$1"; xdotool type --delay 25 "$2"
    for _ in 1 2 3; do
        keys Return
        ! retry 50 gone "$1" || return 0
    done
    fail "the '$1' dialog did not close"
}
# Answers No (Alt+N clicks ~100 ms later; a key sent before the box has closed would be lost),
answer_no() {  # then focuses the main window again, unless $1 is "last"
    window "Save Changes"; keys alt+n
    retry 600 gone "Save Changes" || fail "the 'Save Changes' box did not close"
    sleep 0.2 && [ "${1:-}" = last ] || window Tessivane
}
start() {  # with an empty home, temporary folder and runtime folder of its own, and no bus
    rm -rf "$work/home" "$work/tmp" "$work/run"; mkdir -m 700 "$work/home" "$work/tmp" "$work/run"
    env -u XDG_CONFIG_HOME -u XDG_CACHE_HOME -u XDG_DATA_HOME -u XDG_STATE_HOME \
        -u DBUS_SESSION_BUS_PID DBUS_SESSION_BUS_ADDRESS=disabled: NO_AT_BRIDGE=1 \
        HOME="$work/home" TMPDIR="$work/tmp" XDG_RUNTIME_DIR="$work/run" QT_QPA_PLATFORM=xcb \
        "$program" "$@" >"$work/app.log" 2>&1 &
    app_pid=$!; window Tessivane
}
leave() {  # with F4 and No; the program must end well and leave nothing behind
    window Tessivane; keys F4; answer_no last
    retry 600 eval '! kill -0 "$app_pid" 2>/dev/null' || fail "the program did not end"
    wait "$app_pid" || fail "the program ended with status $?"
    app_pid=; nothing_left "closing the window"
}
left() {  # all but the preview's remembered size and place
    find "$work/home" "$work/tmp" "$work/run" -mindepth 1 ! -path "$work/home/.config" \
        ! -path "$work/home/.config/tessivane" \
        ! -path "$work/home/.config/tessivane/tessivane-preview.conf"
}
nothing_left() {  # within five seconds: the preview program ends when the editor has gone
    retry 100 eval '[ -z "$(left)" ]' || fail "$1 left $(left)"
}
line() { sed -n "$1p" "$2" | tr -d '\r'; }  # line $1 of file $2, without its CR

cd "$work"; touch sound.wav panel.gif line.gif
start
keys alt+s; retype "$work/sound.wav"
keys alt+b; retype "$work/panel.gif"
keys alt+n; retype "$work/line.gif"
keys alt+d; retype "Typed by a person"
keys alt+t; retype "24"
keys ctrl+s  # no file yet: "Save" asks for a name, and adds the extension
file_dialog Save "$work/saved"
retry 600 test -s saved.htt || fail "saved.htt was not written"
window Tessivane; keys ctrl+n; answer_no
keys ctrl+o; answer_no; file_dialog Open "$work/saved.htt"
window Tessivane; keys F2; file_dialog "Save As" "$work/copy.htt"
retry 600 test -s copy.htt || fail "copy.htt was not written"
leave
[ "$(line 2 saved.htt)" = "* WZ.exe" ] || fail "the marker line is missing"
[ "$(line 300 saved.htt)" = "Typed by a person" ] || fail "description: $(line 300 saved.htt)"
line 10 saved.htt | grep -q "pt/24pt " || fail "font line: $(line 10 saved.htt)"
line 29 saved.htt | grep -qF "file://$work/sound.wav\"loop=\"infinite\" > " ||
    fail "sound line: $(line 29 saved.htt)"
line 292 saved.htt | grep -qF "URL(file://$work/panel.gif)" || fail "panel: $(line 292 saved.htt)"
line 304 saved.htt | grep -qF "<img src=\"$work/line.gif\"" || fail "line: $(line 304 saved.htt)"
[ "$(wc -l <saved.htt)" -eq 344 ] || fail "the saved file does not have 344 lines"
cmp -s saved.htt copy.htt || fail "the reopened file was not shown as it was saved"

awk 'NR == 300 { s = "0123456789abcdef"; while (length(s) < 10485760) s = s s
                 s = substr(s, 1, 10485760); print s "\r"; print s >"big.txt"; next }
     { print }' saved.htt >big.htt
start "$work/big.htt"
keys alt+t; retype "30"; keys ctrl+s
retry 600 eval 'line 10 big.htt | grep -q "pt/30pt "' || fail "Ctrl+S did not save big.htt"
[ "$(line 300 big.htt)" = "$(cat big.txt)" ] ||
    fail "the 10 MB description came back as $(line 300 big.htt | wc -c) bytes"
leave

# A signal during a save, caught (stopped as soon as the new file is open, signalled, let go).
awk '{ print } END { for (i = 0; i < 1200000; i++)
       printf "<!-- padding %07d: the quick brown fox jumps over the lazy dog -->\r\n", i }' \
    saved.htt >huge.htt
cp huge.htt huge.orig
sed 300d huge.orig >huge.rest  # all but the description
# The file as it was, or the whole new file: the description changed and every other byte kept.
whole() {
    cmp -s huge.htt huge.orig ||
        { line 300 huge.htt | grep -qx 'Cut short' && sed 300d huge.htt | cmp -s - huge.rest; }
}
saving() { ls -l "/proc/$app_pid/fd" 2>/dev/null | grep -q '\.tessivane-save-'; }
for signal in TERM:143 HUP:129; do  # (a job started with & ignores SIGINT, and keeps ignoring it)
    cp huge.orig huge.htt; start "$work/huge.htt"
    keys alt+d; retype "Cut short"
    (n=0; until saving; do n=$((n + 1)); [ $n -lt 30000 ] || exit; done; kill -STOP "$app_pid") &
    keys ctrl+s; wait $!
    saving || fail "the save was not caught before SIG${signal%:*}"
    kill -"${signal%:*}" "$app_pid"; kill -CONT "$app_pid"
    retry 600 eval '! kill -0 $app_pid 2>/dev/null || [ "$(cut -d" " -f3 /proc/$app_pid/stat)" = Z ]' ||
        fail "SIG${signal%:*} during a save did not end the program"
    status=0; wait "$app_pid" || status=$?; app_pid=
    [ "$status" -eq "${signal#*:}" ] || fail "SIG${signal%:*} during a save: status $status"
    whole || fail "SIG${signal%:*} during a save left the file neither as it was nor whole"
    [ -z "$(find . -name '.tessivane-*')" ] || fail "SIG${signal%:*} left $(find . -name '.tess*')"
    nothing_left "SIG${signal%:*} during a save"
done

preview=$(dirname "$program")/tessivane-preview  # not in every build (the sanitizers' has none)
for signal in TERM KILL; do  # with the preview open, which goes with the editor
    start "$work/saved.htt"
    [ ! -x "$preview" ] || { keys F5; window "Preview - saved.htt"; }
    kill -"$signal" "$app_pid"; wait "$app_pid" 2>/dev/null || true
    app_pid=; nothing_left "SIG$signal"
done
