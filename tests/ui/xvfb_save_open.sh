#!/bin/sh
# SPDX-License-Identifier: MIT
# Drives Tessivane with the keyboard on a virtual X display, as a person would: fills in the
# paths and the description, saves through the real "Save" dialog, starts a new document, opens
# the saved file through the real "Open" dialog, saves a copy with "Save As", and leaves with F4.
# Then checks the files on disk: the saved file carries what was typed, the copy made from the
# reopened file is the same file. Last, the program is started twice more and ended with SIGTERM
# and SIGKILL: however it ends, it leaves no file or folder in its home or temporary folder.
#
#   xvfb_save_open.sh PATH/TO/tessivane
#
# Exits 77 (skipped) when Xvfb or xdotool is not installed.
set -eu

program=${1:?usage: xvfb_save_open.sh PATH/TO/tessivane}
for tool in Xvfb xdotool; do
    if ! command -v "$tool" >/dev/null 2>&1; then
        echo "SKIP: $tool is not installed"
        exit 77
    fi
done

work=$(mktemp -d)
xvfb_pid=
app_pid=
cleanup() {
    if [ -n "$app_pid" ]; then kill "$app_pid" 2>/dev/null || true; fi
    if [ -n "$xvfb_pid" ]; then kill "$xvfb_pid" 2>/dev/null || true; fi
    rm -rf "$work"
}
trap cleanup EXIT INT TERM

fail() {
    echo "FAIL: $*" >&2
    if [ -f "$work/app.log" ]; then
        echo "--- program output:" >&2
        cat "$work/app.log" >&2
    fi
    exit 1
}

# A display of our own: Xvfb writes the number it took to descriptor 3.
exec 3>"$work/display"
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
xvfb_pid=$!
exec 3>&-
tries=0
while [ ! -s "$work/display" ]; do
    tries=$((tries + 1))
    [ "$tries" -le 100 ] || fail "Xvfb did not start: $(cat "$work/xvfb.log")"
    sleep 0.1
done
DISPLAY=:$(cat "$work/display")
export DISPLAY

# Waits for a visible window whose title is exactly $1, gives it the focus (there is no window
# manager to do so) and prints its id.
window() {
    id=$(timeout 15 xdotool search --sync --onlyvisible --name "^$1\$" 2>/dev/null | head -n 1) ||
        fail "no window titled '$1' appeared"
    [ -n "$id" ] || fail "no window titled '$1' appeared"
    xdotool windowfocus --sync "$id"
    sleep 0.3
    echo "$id"
}

# Whether no visible window is titled exactly $1.
gone() { ! xdotool search --onlyvisible --name "^$1\$" >/dev/null 2>&1; }

keys() { xdotool key --delay 60 "$@"; }
type_text() { xdotool type --delay 25 "$1"; }

# Replaces the text of the focused box by $1: the text is selected and typed over, so that a
# size box never passes through an empty text (which it would correct at once).
replace_text() {
    keys Home shift+End
    type_text "$1"
}

# Types a path into the focused file dialog's name field and confirms it. Return may first only
# accept the completion that the field offers; it is pressed again until the dialog has closed.
answer_file_dialog() {
    window "$1" >/dev/null
    type_text "$2"
    sleep 0.3
    for attempt in 1 2 3; do
        keys Return
        sleep 0.5
        if gone "$1"; then
            return 0
        fi
    done
    fail "the '$1' dialog did not close"
}

# Answers the save-changes question with No (its access key), and waits until the box has
# closed: the access key clicks the button about 100 ms later, and a key sent to the main window
# before then is swallowed by the still-open modal box.
answer_no() {
    window "Save Changes" >/dev/null
    keys alt+n
    tries=0
    until gone "Save Changes"; do
        tries=$((tries + 1))
        [ "$tries" -le 100 ] || fail "the 'Save Changes' box did not close"
        sleep 0.1
    done
    sleep 0.2
}

# Waits for a file to appear.
wait_for_file() {
    tries=0
    while [ ! -s "$1" ]; do
        tries=$((tries + 1))
        [ "$tries" -le 100 ] || fail "$1 was not written"
        sleep 0.1
    done
}

# Starts the program with a home, a temporary folder and a session's runtime folder of its own,
# all empty. (Without a runtime folder from the session, Qt would make one in the temporary folder.)
start() {
    rm -rf "$work/home" "$work/tmp" "$work/runtime"
    mkdir "$work/home" "$work/tmp" "$work/runtime"
    chmod 700 "$work/runtime"
    env -u XDG_CONFIG_HOME -u XDG_CACHE_HOME -u XDG_DATA_HOME HOME="$work/home" \
        TMPDIR="$work/tmp" XDG_RUNTIME_DIR="$work/runtime" QT_QPA_PLATFORM=xcb \
        "$program" "$@" >"$work/app.log" 2>&1 &
    app_pid=$!
}

# Fails unless the folders given to the program are still empty.
expect_nothing_left() {
    left=$(find "$work/home" "$work/tmp" "$work/runtime" -mindepth 1)
    [ -z "$left" ] || fail "$1 left behind: $left"
}

touch "$work/sound.wav" "$work/panel.gif" "$work/line.gif"
cd "$work"
start
main=$(window Tessivane)

# Fill in the settings, reaching each box by its access key.
keys alt+s
replace_text "$work/sound.wav"
keys alt+b
replace_text "$work/panel.gif"
keys alt+n
replace_text "$work/line.gif"
keys alt+d
replace_text "Typed by a person"
keys alt+t
replace_text "24"

# Save: the untitled document has no file yet, so the "Save" dialog asks for a name; the
# extension is added.
keys ctrl+s
answer_file_dialog Save "$work/saved"
wait_for_file "$work/saved.htt"

# A new document, then the saved file opened again.
xdotool windowfocus --sync "$main"
keys ctrl+n
answer_no
xdotool windowfocus --sync "$main"
keys ctrl+o
answer_no
answer_file_dialog Open "$work/saved.htt"

# A copy of what the window now shows.
xdotool windowfocus --sync "$main"
keys F2
answer_file_dialog "Save As" "$work/copy.htt"
wait_for_file "$work/copy.htt"

# Leave: the question once more, then the program ends.
xdotool windowfocus --sync "$main"
keys F4
answer_no
tries=0
while kill -0 "$app_pid" 2>/dev/null; do
    tries=$((tries + 1))
    [ "$tries" -le 100 ] || fail "the program did not end after F4 and No"
    sleep 0.1
done
status=0
wait "$app_pid" || status=$?
app_pid=
[ "$status" -eq 0 ] || fail "the program ended with status $status"

# What is on disk. Lines are CR LF terminated; line numbers below count from 1.
line() { sed -n "$1p" "$2" | tr -d '\r'; }
[ "$(line 2 "$work/saved.htt")" = "* WZ.exe" ] || fail "the marker line is missing"
[ "$(line 300 "$work/saved.htt")" = "Typed by a person" ] || fail "description: $(line 300 "$work/saved.htt")"
line 10 "$work/saved.htt" | grep -q "pt/24pt " || fail "font line: $(line 10 "$work/saved.htt")"
line 29 "$work/saved.htt" | grep -qF "file://$work/sound.wav\"loop=\"infinite\" > " ||
    fail "sound line: $(line 29 "$work/saved.htt")"
line 292 "$work/saved.htt" | grep -qF "URL(file://$work/panel.gif)" ||
    fail "panel line: $(line 292 "$work/saved.htt")"
line 304 "$work/saved.htt" | grep -qF "<img src=\"$work/line.gif\"" ||
    fail "line-image line: $(line 304 "$work/saved.htt")"
[ "$(wc -l <"$work/saved.htt")" -eq 344 ] || fail "the saved file does not have 344 lines"
cmp -s "$work/saved.htt" "$work/copy.htt" || fail "the reopened file was not shown as it was saved"

expect_nothing_left "closing the window"

# A description of 10 MB, far beyond what a text box holds by default, opened and saved with
# Ctrl+S after a change to the title size, comes back byte for byte.
awk 'NR == 300 {
         s = "0123456789abcdef"
         while (length(s) < 10485760) s = s s
         big = substr(s, 1, 10485760)
         print big "\r"
         print big >"big-description.txt"
         next
     }
     { print }' "$work/saved.htt" >"$work/big.htt"
start "$work/big.htt"
main=$(window Tessivane)
keys alt+t
replace_text "30"
keys ctrl+s
tries=0
until line 10 "$work/big.htt" | grep -q "pt/30pt "; do
    tries=$((tries + 1))
    [ "$tries" -le 300 ] || fail "Ctrl+S did not save the 10 MB description"
    sleep 0.1
done
[ "$(line 300 "$work/big.htt")" = "$(cat "$work/big-description.txt")" ] ||
    fail "the 10 MB description came back as $(line 300 "$work/big.htt" | wc -c) bytes"
xdotool windowfocus --sync "$main"
keys F4
answer_no
wait "$app_pid" || fail "the program ended with status $?"
app_pid=

# Killed, the program gets no chance to tidy up: it must not have made anything to tidy.
for signal in TERM KILL; do
    start "$work/saved.htt"
    window Tessivane >/dev/null
    kill -"$signal" "$app_pid"
    wait "$app_pid" 2>/dev/null || true
    app_pid=
    expect_nothing_left "SIG$signal"
done

echo "PASS: saved, reopened and saved again through the real dialogs; a 10 MB description kept;"
echo "      nothing left behind"
