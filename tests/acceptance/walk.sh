#!/usr/bin/env bash
# The program walked as a new user walks it, under a real X server and with real X input only: a copy of the
# built program with its language files in a temporary folder (so its configuration lands there), a temporary
# home holding a folder of generated photos, and a stub xdg-open that records what it is asked to open.
#   walk.sh PROGRAM PROBE SHOTS     SHOTS: the folder the screenshots of each step go to
# Exits 77 (skipped) without Xvfb or xdotool.
set -euo pipefail
program=$1
probe=$2
shots=$3
command -v Xvfb >/dev/null 2>&1 || exit 77
command -v xdotool >/dev/null 2>&1 || exit 77

if [ -z "${OVREL_WALK_INNER:-}" ]; then
  export OVREL_WALK_INNER=1
  exec bash "$(dirname "$0")/../scripts/with-xvfb.sh" --screen 1280x800x24 "$0" "$@"
fi

work=$(mktemp -d /tmp/ovrel-walk-XXXXXX)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/app" "$work/home/photos" "$work/bin" "$shots"
rm -f "$shots"/*.png
cp "$program" "$work/app/exif-ovrel"
cp -r "$(dirname "$program")/Language" "$work/app/Language"
"$probe" fixtures "$work/home/photos"
cat >"$work/bin/xdg-open" <<EOF
#!/bin/sh
echo "\$1" >>"$work/opened.txt"
EOF
chmod +x "$work/bin/xdg-open"
photos="$work/home/photos"
config="$work/app/exif-ovrel.cfg"

fail() {
  echo "walk: $*" >&2
  # What the program said (a sanitizer's report, an assertion) is the first thing to read.
  [ -s "$work/app.log" ] && tail -n 60 "$work/app.log" >&2
  exit 1
}
step=0
shot() {
  step=$((step + 1))
  sleep 0.6
  "$probe" grab "$shots/$(printf '%02d' $step)-$1.png" 2>/dev/null || fail "screenshot $1 is blank"
  last="$shots/$(printf '%02d' $step)-$1.png"
}
pixel() { "$probe" pixel "$last" "$1" "$2" 2>/dev/null; }
# wait_for WHAT COMMAND...: waits up to 10 s for the command to succeed, so that no key goes out before the window it
# is meant for has come or gone.
wait_for() {
  local what=$1
  shift
  for _ in $(seq 50); do
    "$@" && return 0
    sleep 0.2
  done
  fail "$what"
}
# The program's windows on the screen: the main window, and each dialog, message box or pop-up over it.
windows_are() { [ "$(xdotool search --onlyvisible --class exif-ovrel 2>/dev/null | wc -l)" = "$1" ]; }
tag_is() { [ "$("$probe" tag "$1" "$2")" = "$3" ]; }
click() { xdotool mousemove "$1" "$2" sleep 0.15 click 1; }

start() {
  (cd "$work" && HOME="$work/home" PATH="$work/bin:$PATH" QT_QPA_PLATFORM=xcb ./app/exif-ovrel >>"$work/app.log" 2>&1) &
  pid=$!
  for _ in $(seq 50); do
    window=$(xdotool search --class exif-ovrel 2>/dev/null | head -1 || true)
    [ -n "$window" ] && break
    sleep 0.2
  done
  [ -n "$window" ] || fail "no window"
  sleep 1
  # Plain Xvfb has no window manager: the main window takes the keyboard focus from us.
  xdotool windowfocus "$window"
}
stop() {
  for _ in $(seq 50); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.2
  done
  if kill -0 "$pid" 2>/dev/null; then
    kill "$pid"
    fail "the program did not end on File > Exit"
  fi
  wait "$pid" || fail "the program ended with an error"
}

# Screen points of the window at (0, 0), 736 x 619 at 96 dpi.
file_menu=(21 10)
view_menu=(54 10)
exif_menu=(100 10)
import_item=(159 33)
export_item=(146 53)
clear_item=(134 82)
first_item_y=32
language_item=(86 101)
german_item=(181 121)
name_header=(240 33)
row1=(240 49)
row2=(240 65)
preview=(636 120)
edit_button=(636 579)
artist_field=(711 325)
date_button=(786 425)
# In the date dialog over the edit dialog.
add_radio=(205 282)
add_days=(250 303)
add_hour=(326 303)
# A column of the folder tree below its header, where a chosen folder's row shows the selection colour.
tree_column=(150 42 592)
selection_colour=308CC6
# Left of the dialog's labels while it shows; the list's empty part once it has closed.
edit_dialog_face=(450 300)

# 1. A fresh start reads nothing; the folder chosen in the tree (typed, as the tree searches by name) fills the
# list, the grid and the preview.
start
shot start
[ "$(pixel "${preview[@]}")" = FFFFFF ] || fail "the preview shows something before a folder was chosen"
xdotool type photos
shot folder-chosen
[ "$(pixel "${preview[@]}")" != FFFFFF ] || fail "the preview of the first image is missing"

# 2. The name header twice, then Ctrl+click a second row, then a double click on the first.
click "${name_header[@]}"
shot sorted-descending
click "${name_header[@]}"
shot sorted-ascending
click "${row1[@]}"
xdotool keydown ctrl
click "${row2[@]}"
xdotool keyup ctrl
shot two-selected
xdotool mousemove "${row1[@]}" sleep 0.15 click --repeat 2 --delay 80 1
sleep 1
grep -q "alpha.jpg" "$work/opened.txt" 2>/dev/null || fail "the double click opened nothing"

# 2b. Edit... over two selected images (the double click left only the first selected: Ctrl+click the second
# again), a new artist typed into the modal dialog, Enter: the dialog closes, both files carry the artist and the
# others keep theirs.
xdotool keydown ctrl
click "${row2[@]}"
xdotool keyup ctrl
click "${edit_button[@]}"
wait_for "Edit... opened no dialog" windows_are 2
shot edit-dialog
click "${artist_field[@]}"
xdotool key ctrl+a
xdotool type Quay
xdotool key Return
wait_for "the edit dialog stayed open after OK" windows_are 1
shot edit-done
[ "$("$probe" tag "$photos/alpha.jpg" 315)" = Quay ] || fail "the artist was not written"
[ "$("$probe" tag "$photos/bravo.jpg" 315)" = Quay ] || fail "the artist was not written into the second image"
[ "$("$probe" tag "$photos/charlie.jpg" 315)" = Cara ] || fail "an image outside the selection was changed"

# 2c. Exif Info over the first image: export its metadata beside it, clear it (confirmed with Enter, Yes being
# the default), import it back from the exported file named in the file dialog, which opens at the folder.
click "${row1[@]}"
click "${exif_menu[@]}"
click "${export_item[@]}"
wait_for "Export showed no message" windows_are 2
shot exported
xdotool key Return
wait_for "the message stayed open" windows_are 1
[ -f "$photos/alpha.xml" ] || fail "Export wrote no alpha.xml beside the image"
grep -q Quay "$photos/alpha.xml" || fail "the exported file lacks the artist"
[ ! -e "$photos/bravo.xml" ] || fail "Export wrote an image outside the selection"
click "${exif_menu[@]}"
click "${clear_item[@]}"
wait_for "Clear asked nothing" windows_are 2
shot clear-confirm
xdotool key Return
wait_for "Clear left the artist" tag_is "$photos/alpha.jpg" 315 ""
wait_for "Clear showed no message" windows_are 2
xdotool key Return
wait_for "the message stayed open" windows_are 1
[ -z "$("$probe" tag "$photos/alpha.jpg" 315)" ] || fail "Clear left the artist"
[ "$("$probe" tag "$photos/bravo.jpg" 315)" = Quay ] || fail "Clear reached an image outside the selection"
click "${exif_menu[@]}"
click "${import_item[@]}"
wait_for "Import showed no file dialog" windows_are 2
shot import-dialog
xdotool type alpha.xml
xdotool key Return
wait_for "Import did not bring the artist back" tag_is "$photos/alpha.jpg" 315 Quay
wait_for "Import showed no message" windows_are 2
xdotool key Return
wait_for "the message stayed open" windows_are 1
shot imported
[ "$("$probe" tag "$photos/alpha.jpg" 315)" = Quay ] || fail "Import did not bring the artist back"
[ "$(pixel "${preview[@]}")" != FFFFFF ] || fail "the preview is gone after the import"

# 2d. A date shifted: Edit..., the Date Time field's date button, "Add to current time" with 2 days and 03 typed
# over the clicked hour, Enter in both dialogs; the first image's date moved by 2 days 3 hours.
[ "$("$probe" tag "$photos/alpha.jpg" 306)" = "5/4/2021 10:00:00 AM" ] || fail "the fixture's date is not as expected"
click "${edit_button[@]}"
wait_for "Edit... opened no dialog" windows_are 2
click "${date_button[@]}"
wait_for "the date button opened no dialog" windows_are 3
shot date-dialog
click "${add_radio[@]}"
click "${add_days[@]}"
xdotool key ctrl+a
xdotool type 2
click "${add_hour[@]}"
xdotool type 03
shot date-typed
xdotool key Return
wait_for "the date dialog stayed open" windows_are 2
xdotool key Return
wait_for "the edit dialog stayed open" windows_are 1
shot date-done
[ "$("$probe" tag "$photos/alpha.jpg" 306)" = "5/6/2021 1:00:00 PM" ] || fail "the date was not shifted"
[ "$("$probe" tag "$photos/bravo.jpg" 306)" = "6/5/2022 11:30:00 AM" ] || fail "a date outside the selection moved"

# 3. View > Language > Deutsch, then File > Exit.
click "${view_menu[@]}"
shot view-menu
xdotool mousemove "${language_item[@]}"
click "${language_item[@]}"
shot language-menu
xdotool mousemove $((german_item[0] - 30)) "${german_item[1]}"
click "${german_item[@]}"
shot german
click "${file_menu[@]}"
shot file-menu
click "${file_menu[0]}" "$first_item_y"
stop
[ -f "$config" ] || fail "no configuration written"
"$probe" config "$config" >"$work/config.txt"
grep -qx "LangId=1031" "$work/config.txt" || fail "German was not stored: $(cat "$work/config.txt")"
grep -qx "LastFolder=$(readlink -f "$photos")" "$work/config.txt" || fail "wrong folder: $(cat "$work/config.txt")"

# 4. The next start opens on the stored folder with its preview, and the tree shows that folder chosen even
# with many folders listed above it; it exits the same way.
for i in $(seq 100 249); do mkdir "$work/home/a$i"; done
start
shot second-start
[ "$(pixel "${preview[@]}")" != FFFFFF ] || fail "the stored folder was not read at start"
"$probe" find "$last" "${tree_column[@]}" "$selection_colour" >/dev/null ||
  fail "the stored folder is out of sight in the tree"
click "${file_menu[@]}"
click "${file_menu[0]}" "$first_item_y"
stop
"$probe" config "$config" | grep -qx "LangId=1031" || fail "the language was lost on the second run"
echo "walk: all steps passed; screenshots in $shots"
