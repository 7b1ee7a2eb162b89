#!/usr/bin/env bash
# The bad-input table: for every file the demo reads, damaged or unusual
# copies are put into a private copy of the runnable tree, one case at a
# time, and the program (or quorvane-capture / quorvane-inspect, which reach
# the same readers without the five-second loading hold) is run on it.
# Each case must end as its row says: the show plays (exit 0, the warning
# named), or one message and the exit code named. A signal exit (128 and
# up), the time limit (a hang) or a 0 after a failure fails the row.
#
#   bad_inputs.sh BUILD/bin/quorvane [--table]
#
# --table prints the results as the Markdown table of docs/robustness.md.
# BAD_INPUTS_ONLY=TEXT runs only the cases of files whose path holds TEXT.
set -u
exe=$1
markdown=${2:-}
build=$(cd "$(dirname "$exe")/.." && pwd)
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'chmod -R u+w "$work"; rm -rf "$work"' EXIT
export SDL_AUDIODRIVER=${SDL_AUDIODRIVER:-dummy}

# The programs are copied once; each tree hard-links them (data is found
# beside the executable, so a link to the build's copy would find the build's).
mkdir -p "$work/stage"
cp "$build/bin/quorvane" "$build/bin/quorvane-capture" "$build/bin/quorvane-inspect" "$work/stage/"

# A show that quits half a second in, so that playing cases end quickly.
SHORT_SCRIPT=$'s00 0:00:00:000\nquit 0:00:00:500\n'

passed=0 failed=0 count=0
rows=()

# new_tree DIR...: $tree gets its own copies of the programs, of the marker
# script (the short show) and of the named data directories (data/... or
# src/shaders), each entry linked so a case replaces just one file.
new_tree() {
    count=$((count + 1))
    tree=$work/case$count
    mkdir -p "$tree/bin" "$tree/data" "$tree/src"
    cp -l "$work"/stage/* "$tree/bin/" 2>/dev/null || cp "$work"/stage/* "$tree/bin/"
    local d
    for d in textures models music script src/shaders; do
        local target=$tree/data/$d original=$build/data/$d
        [ "$d" = src/shaders ] && target=$tree/$d original=$build/$d
        if [[ " $* script " == *" $d "* ]]; then
            mkdir -p "$target"
            ln -s "$original"/* "$target/"
        else
            ln -s "$original" "$target"
        fi
    done
    rm "$tree/data/script/markers.txt"
    printf '%s' "$SHORT_SCRIPT" > "$tree/data/script/markers.txt"
}

# damage KIND FILE [SOURCE]: FILE (relative to the tree) replaced by damage.py's
# KIND made from SOURCE (default: FILE's original in the build). The link is
# removed first, so that the build's file is never written through it.
damage() {
    local file=$tree/$2 source=$work/source
    rm -f "$source"
    cp "${3:-$build/$2}" "$source" 2>/dev/null
    rm -f "$file"
    python3 "$here/damage.py" "$1" "$file" "$source" || { echo "damage.py $1 failed"; exit 2; }
}

program() { timeout 90 "$tree/bin/quorvane"; }
capture() { timeout 90 "$tree/bin/quorvane-capture" --size 64x64 --at 0 --png "$tree/frame.png" "$@"; }
inspect() { timeout 30 "$tree/bin/quorvane-inspect" "$@"; }
capture_lacking() { (export MESA_EXTENSION_OVERRIDE=-$1; capture); }  # a driver without extension $1
# The capture asked to stop (SIGTERM) half a second in, while it loads.
capture_stopped_while_loading() {
    timeout 90 "$tree/bin/quorvane-capture" --size 64x64 --fps 2 --mp4 "$tree/show.mp4" &
    local pid=$!
    sleep 0.5
    kill -TERM $pid
    wait $pid
    local rc=$?
    [ ! -e "$tree/show.mp4" ] || { echo "show.mp4 left behind"; return 3; }
    return $rc
}

# The demo asked to stop (SIGTERM, which SDL turns into a quit request) $1
# seconds into loading: it must end through its exit handler within seconds.
program_stopped_while_loading() {
    "$tree/bin/quorvane" &
    local pid=$!
    sleep "$1"
    kill -TERM $pid
    local asked=$SECONDS
    wait $pid
    local rc=$?
    [ $((SECONDS - asked)) -le 5 ] || { echo "ended $((SECONDS - asked)) s after the request"; return 3; }
    return $rc
}

# An output that does not fit: a file size limit of KB kilobytes stands in
# for a full disk. Nothing may be left under the output's name. The log
# leaves through a pipe, which the limit does not cut short.
with_full_disk() {  # KB OUTPUT COMMAND...
    local kb=$1 output=$2
    shift 2
    (ulimit -f "$kb"; trap '' XFSZ; timeout 90 "$@" 2>&1) | cat
    local rc=${PIPESTATUS[0]}
    [ -z "$(ls -A "$output" 2>/dev/null)" ] || { echo "$output left behind"; return 3; }
    return $rc
}
capture_full_disk() {  # KB OUTPUT-OPTION NAME [OPTION...]: the growing scrub's first 3 s
    local kb=$1 option=$2 name=$3
    shift 3
    with_full_disk "$kb" "$tree/$name" "$tree/bin/quorvane-capture" --scene "growing scrub" --size 320x180 \
        --fps 30 "$@" "$option" "$tree/$name"
}
datagen_full_disk() { with_full_disk 64 "$tree/$1" "$build/bin/quorvane-datagen" --render "$tree/$1" --seconds 2; }

# The show without an end marker plays until the viewer ends it: wait for
# the show to start, then close the window (SDL turns SIGTERM into a quit).
play_then_stop() {
    "$tree/bin/quorvane" &
    local pid=$! end=$((SECONDS + 90))
    until grep -q "demo start" "$tree/out" 2>/dev/null || [ $SECONDS -ge $end ] || ! kill -0 $pid 2>/dev/null; do
        sleep 0.3
    done
    sleep 0.5
    kill -TERM $pid 2>/dev/null
    wait $pid
}

# check CASE FILE RC TEXT OUTCOME -- COMMAND...: runs COMMAND in the current
# tree and wants exit code RC and a log line holding TEXT (a fixed string;
# empty: none wanted). OUTCOME says in words what happens, for the table.
check() {
    local name=$1 file=$2 want_rc=$3 text=$4 outcome=$5
    shift 6
    [[ "$file" == *"${BAD_INPUTS_ONLY:-}"* ]] || return 0
    local log=$tree/out started=$SECONDS
    "$@" > "$log" 2>&1
    local rc=$? problem=""
    if [ $rc -eq 124 ]; then problem="time limit: hung"
    elif [ $rc -ne "$want_rc" ] && [ $rc -gt 128 ] && [ $rc -lt 192 ]; then problem="killed by signal $((rc - 128))"
    elif [ $rc -ne "$want_rc" ]; then problem="exit code $rc, not $want_rc"
    elif [ -n "$text" ] && ! grep -aqF -- "$text" "$log"; then problem="no line with: $text"
    elif grep -aq "runtime error:\|AddressSanitizer\|LeakSanitizer" "$log"; then problem="sanitizer report"
    fi
    # The table shows the line the case looked for, without the tree's
    # temporary path or unprintable bytes.
    local line="" tool=quorvane
    case $1 in
        capture*) tool=quorvane-capture ;; inspect) tool=quorvane-inspect ;; datagen*) tool=quorvane-datagen ;;
    esac
    [ -n "$text" ] && line=$(grep -a -m1 -F -- "$text" "$log" | tr -cd '[:print:]' | sed "s|$work/[^/]*/||g" | cut -c1-110)
    if [ -z "$problem" ]; then
        passed=$((passed + 1))
        [ -n "$markdown" ] || printf 'ok   %-34s %-32s rc %-3s %2ss\n' "$name" "${file##*/}" "$rc" $((SECONDS - started))
    else
        failed=$((failed + 1))
        echo "FAIL $name ($file): $problem, $((SECONDS - started))s"
        echo "--- log"; tail -n 25 "$log"; echo "---"
    fi
    rows+=("| $name | \`$file\` | $tool | $outcome${line:+: \`${line//|/\\|}\`} | $rc |")
}

# ---- marker script ----------------------------------------------------------
S=data/script/markers.txt
new_tree; rm "$tree/$S"
check "missing" $S 0 "Error reading file" "plays with no markers until ended (no end marker)" -- play_then_stop
new_tree; damage empty $S
check "empty" $S 0 "0 events" "no markers: plays like a missing script" -- inspect markers "$tree/$S"
new_tree; damage half $S
check "cut off at half" $S 0 " events" "markers up to the cut are read" -- inspect markers "$tree/$S"
new_tree; damage random $S
check "random bytes" $S 0 "# warning, unknown token" "a warning per line, nothing read" -- inspect markers "$tree/$S"
new_tree; damage crlf $S "$tree/$S"
check "CR-LF line ends" $S 0 "41 500" "read like LF lines" -- inspect markers "$tree/$S"
new_tree; printf 'quit 0:00:00:500\n' > "$tree/$S"; damage bom $S "$tree/$S"
check "byte-order mark before the first marker" $S 0 "41 500" "the mark is skipped, the marker read" -- inspect markers "$tree/$S"
new_tree; damage long-line $S "$tree/$S"
check "100 kB line" $S 0 "characters - skipped" "a warning, the line is skipped, the markers after it read" -- inspect markers "$tree/$S"
new_tree; printf 's05 0:09:00:000\nquit 1:00:00:000\n' > "$tree/$S"
check "times past the end of the music" $S 0 "41 3600000" "read as written; the show plays on in silence" -- inspect markers "$tree/$S"

# ---- MIDI file -----------------------------------------------------------------
M=data/music/goa3_3.mid
new_tree music; rm "$tree/$M"
check "missing" $M 0 "Unable to open file" "plays without MIDI and beat events" -- capture
new_tree music; damage empty $M
check "empty" $M 1 "This is not a valid MIDI file!" "ends" -- capture
new_tree music; damage half $M
check "cut off at half" $M 0 "bytes past the end of the file" "a warning, the notes that are there are kept" -- inspect midi "$tree/$M"
new_tree music; damage random $M
check "random bytes" $M 1 "This is not a valid MIDI file!" "ends" -- inspect midi "$tree/$M"
new_tree music; damage text $M
check "a text file named .mid" $M 1 "This is not a valid MIDI file!" "ends" -- inspect midi "$tree/$M"
new_tree music; damage midi-smpte $M
check "SMPTE division (25 fps, 40 ticks)" $M 0 "# midi: Num tracks" "read with 1/1000 s ticks" -- inspect midi "$tree/$M"
new_tree music; damage midi-past-end $M
check "track length past the end of the file" $M 0 "bytes past the end of the file" "a warning, the track is read to the end of the file" -- inspect midi "$tree/$M"
new_tree music; damage midi-running-status $M
check "running status across tracks" $M 0 "on     1  off     1  ctrl" "data bytes before a track's first status are skipped" -- inspect midi "$tree/$M"

# ---- music ------------------------------------------------------------------------
A=data/music/goa3_4_master.mp3
NOMUSIC='cannot play the music'
new_tree music; rm "$tree/$A"
check "missing" $A 255 "$NOMUSIC" "ends before the show" -- program
new_tree music; damage empty $A
check "empty" $A 255 "$NOMUSIC" "ends before the show" -- program
new_tree music; damage random $A
check "random bytes" $A 255 "$NOMUSIC" "ends before the show" -- program
new_tree music; damage wav $A
check "a WAV file named .mp3" $A 255 "$NOMUSIC" "ends before the show" -- program
new_tree music; damage text $A
check "a text file named .mp3" $A 255 "$NOMUSIC" "ends before the show" -- program
new_tree music; damage half $A
check "cut off at half" $A 0 "" "decoded as far as it goes" -- capture
new_tree music; damage first-percent $A; printf 's00 0:00:00:000\nquit 0:00:03:000\n' > "$tree/$S"
check "shorter than the show (0.7 s)" $A 0 "requested exit" "plays on in silence after the music, ends at the quit marker" -- program

# ---- textures -------------------------------------------------------------------------
J=data/textures/loader.jpg
new_tree textures; rm "$tree/$J"
check "missing" $J 255 "loader.jpg" "ends" -- program
new_tree textures; damage empty $J
check "empty" $J 255 "loader.jpg" "ends" -- program
new_tree textures; damage half $J
check "cut off at half" $J 0 "" "decoded as far as it goes, plays" -- capture
new_tree textures; damage random $J
check "random bytes" $J 255 "loader.jpg" "ends" -- program
new_tree textures; damage text $J
check "a text file named .jpg" $J 255 "loader.jpg" "ends" -- program
new_tree textures; rm "$tree/$J"; cp "$build/data/textures/intro_logo.png" "$tree/$J"
check "a PNG named .jpg" $J 0 "" "plays" -- capture
new_tree textures; damage jpeg-60000 $J
check "header claiming 60000 x 60000" $J 255 "loader.jpg" "refused before decoding, ends" -- program

P=data/textures/intro_logo.png
LOGO=(capture --scene logolight)
new_tree textures; rm "$tree/$P"
check "missing" $P 255 "intro_logo.png" "ends" -- "${LOGO[@]}"
new_tree textures; damage empty $P
check "empty" $P 255 "intro_logo.png" "ends" -- "${LOGO[@]}"
new_tree textures; damage half $P
check "cut off at half" $P 255 "images must be 24 or 32 bpp" "the decoder refuses it, ends" -- "${LOGO[@]}"
new_tree textures; damage random $P
check "random bytes" $P 255 "intro_logo.png" "ends" -- "${LOGO[@]}"
new_tree textures; damage png-grey $P
check "greyscale" $P 255 "images must be 24 or 32 bpp" "ends" -- "${LOGO[@]}"
new_tree textures; damage png-palette $P
check "palette" $P 255 "images must be 24 or 32 bpp" "ends" -- "${LOGO[@]}"
new_tree textures; damage png-16bit $P
check "16 bits per channel" $P 255 "images must be 24 or 32 bpp" "ends" -- "${LOGO[@]}"
new_tree textures; damage png-60000 $P
check "header claiming 60000 x 60000" $P 255 "intro_logo.png" "refused before decoding, ends" -- "${LOGO[@]}"

# ---- models ---------------------------------------------------------------------------
B=data/models/netsphere.bzobj
new_tree models; rm "$tree/$B"
check "missing" $B 255 "netsphere.bzobj" "ends" -- capture --scene "netsphere glowtest"
for kind in empty half random text; do
    new_tree models; damage $kind $B
    case $kind in
        empty) what="empty"; rc=255 ;; half) what="cut off at half"; rc=255 ;;
        random) what="random bytes"; rc=255 ;; text) what="a text file named .bzobj"; rc=255 ;;
    esac
    check "$what" $B $rc "netsphere.bzobj" "ends" -- inspect model "$tree/$B"
done
new_tree models; damage bzobj-huge-counts $B
check "counts claiming gigabytes" $B 255 "counts do not fit" "refused before allocating, ends" -- inspect model "$tree/$B"
new_tree models; damage bzobj-huge-size $B
check "unpacked size claiming 4 GB" $B 0 "" "read (the size is only an upper bound)" -- inspect model "$tree/$B"

O=data/models/quad.obj L=data/models/quad.mtl
new_obj() { new_tree models; damage obj $O; damage mtl $L; }
new_obj
check "well-formed OBJ with material" $O 0 "plain" "read" -- inspect model "$tree/$O"
new_obj; rm "$tree/$O"
check "missing" $O 255 "quad.obj" "ends" -- inspect model "$tree/$O"
new_obj; damage empty $O
check "empty" $O 0 "triangles 0" "read as a model without triangles (a warning per unknown line)" -- inspect model "$tree/$O"
new_obj; damage text $O
check "a text file named .obj" $O 0 "triangles 0" "read as a model without triangles (a warning per unknown line)" -- inspect model "$tree/$O"
new_obj; damage random $O
check "random bytes" $O 0 "triangles 0" "read as a model without triangles (a warning per unknown line)" -- inspect model "$tree/$O"
new_obj; damage obj-out-of-range $O
check "indices out of range" $O 255 "refers to a missing vertex" "ends" -- inspect model "$tree/$O"
new_obj; rm "$tree/$L"
check "material library missing" $L 0 "Couldn't open" "an error line, read without materials" -- inspect model "$tree/$O"
new_obj; damage random $L
check "material library of random bytes" $L 0 "" "warnings, read without materials" -- inspect model "$tree/$O"
new_obj; damage mtl-before-newmtl $L
check "material value before newmtl" $L 0 "no 'newmtl' entry" "an error line, read without materials" -- inspect model "$tree/$O"

# ---- shaders --------------------------------------------------------------------------
G=src/shaders/default.frag
for kind in missing empty half random glsl-syntax; do
    new_tree src/shaders
    if [ $kind = missing ]; then rm "$tree/$G"; else damage $kind $G; fi
    case $kind in
        missing) what="missing" ;; empty) what="empty" ;; half) what="cut off at half" ;;
        random) what="random bytes" ;; glsl-syntax) what="syntax error" ;;
    esac
    check "$what" $G 255 "default" "ends before the show, naming the program" -- program
done

# ---- something other than a file where a data file belongs ----------------------------
# Refused without blocking or reading, naming the file and what is there.
new_tree; rm "$tree/$S"; mkdir "$tree/$S"
check "a directory" $S 2 "is a directory, not a file" "a warning; read as a missing script" -- inspect markers "$tree/$S"
new_tree; rm "$tree/$S"; ln -s /dev/zero "$tree/$S"
check "/dev/zero" $S 2 "is a device, not a file" "a warning; read as a missing script" -- inspect markers "$tree/$S"
new_tree music; rm "$tree/$M"; mkdir "$tree/$M"
check "a directory" $M 0 "is a directory, not a file" "plays without MIDI and beat events" -- capture
new_tree music; rm "$tree/$A"; mkdir "$tree/$A"
check "a directory" $A 255 "is a directory, not a file" "ends before the show" -- program
new_tree textures; rm "$tree/$J"; mkfifo "$tree/$J"
check "a named pipe" $J 255 "is a named pipe, not a file" "ends (it used to wait for a writer for ever)" -- program
new_tree models; rm "$tree/$B"; mkdir "$tree/$B"
check "a directory" $B 255 "is a directory, not a file" "ends" -- capture --scene "netsphere glowtest"
new_tree src/shaders; rm "$tree/$G"; head -c 2000000 /dev/zero | tr '\0' ' ' > "$tree/$G"
check "2 MB source" $G 255 "is larger than 1048576 bytes" "ends before the show, unread" -- program

# ---- the driver, and a stop request ------------------------------------------------------
# A tool runs headless: where the show opens its message box, it prints;
# and a stop request ends it at any point of loading.
new_tree
check "driver without GL_ARB_vertex_buffer_object" bin/quorvane-capture 255 "GL_ARB_vertex_buffer_object is missing" \
    "the message on the error stream instead of a box nobody clicks, ends" -- capture_lacking GL_ARB_vertex_buffer_object

new_tree
check "stop request while loading" bin/quorvane-capture 130 "interrupted while loading" \
    "ends at once, nothing written" -- capture_stopped_while_loading
for at in 0.5 3; do
    new_tree
    check "stop request $at s into loading" bin/quorvane 0 "requested exit" \
        "ends through its exit handler within seconds" -- program_stopped_while_loading $at
done

# ---- a full disk for each output ------------------------------------------------------
# The run says why, ends with 1, and leaves no file cut short under its name.
# The whole show's script, so that three seconds of it can be captured.
new_tree
ln -sf "$build/data/script/markers.txt" "$tree/data/script/markers.txt"
check "a full disk" one.png 1 "File too large" "one line with the reason, no file" -- \
    capture_full_disk 4 --png one.png --at 300
check "a full disk" frames 1 "File too large" "a PNG sequence stops at the first frame that fails, naming it" -- \
    capture_full_disk 4 --png frames --to 1000
check "a full disk" sheet.png 1 "File too large" "one line with the reason, no file" -- \
    capture_full_disk 4 --sheet sheet.png --to 3000 --every 1
check "a full disk" show.mp4 1 "File too large" "the encoder's reason, no file" -- \
    capture_full_disk 32 --mp4 show.mp4 --to 3000
check "a full disk" profile.csv 1 "File too large" "one line with the reason, no file" -- \
    capture_full_disk 4 --profile profile.csv --to 3000
check "a full disk" render.wav 1 "File too large" "one line with the reason, no file" -- datagen_full_disk render.wav

# ---- where the program lives ----------------------------------------------------------
new_tree textures models music
chmod -R a-w "$tree/data"
check "read-only data directory" data/ 0 "requested exit" "plays" -- program
new_tree
mkdir "$work/links"; ln -s "$tree/bin/quorvane" "$work/links/demo"
check "started through a symbolic link" bin/quorvane 0 "requested exit" "plays" -- timeout 90 "$work/links/demo"
new_tree
odd="$work/a dir with spaces/Grüße ñ 日本"
mkdir -p "$(dirname "$odd")"; mv "$tree" "$odd"; tree=$odd
check "path with spaces and non-ASCII letters" bin/quorvane 0 "requested exit" "plays" -- program

if [ -n "$markdown" ]; then
    echo "| Case | File | Run through | What happens | Exit code |"
    echo "|---|---|---|---|---|"
    printf '%s\n' "${rows[@]}"
fi
echo "bad inputs: $passed passed, $failed failed"
[ $failed -eq 0 ]
