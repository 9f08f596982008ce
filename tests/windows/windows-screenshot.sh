#!/usr/bin/env bash
# The editor on the Windows dialog manager as a picture: travex-host.exe edit --window under Wine,
# in a Wine desktop on a virtual X display, caught while a short script pauses on it. Writes
# $1 (docs/images/editor-windows.png by default). Needs the Windows build, Xvfb and ImageMagick.
set -euo pipefail
cd "$(dirname "$0")/../.."
WINDOWS_BUILD=${WINDOWS_BUILD:-build-windows}
output=${1:-docs/images/editor-windows.png}
export WINEPREFIX=${WINEPREFIX:-$PWD/$WINDOWS_BUILD/wineprefix}
export WINEARCH=win32 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="

work=$WINDOWS_BUILD/screenshot
mkdir -p "$work"
cp examples/worked-example.ptm "$work/motion.ptm"
# Point 1 chosen, which the graph marks; the pause after it is the moment of the picture.
printf 'click >>\nclick Cancel\n' >"$work/script.txt"

# The prefix is made first, without a display, so that no "updating" window comes up.
DISPLAY= wineboot --init >/dev/null 2>&1
wineserver -w  # a server started without the display would keep it
exec {display_fd}<> <(:)
Xvfb -displayfd "$display_fd" -screen 0 800x600x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
trap 'kill "$xvfb" 2>/dev/null' EXIT
read -r -t 10 -u "$display_fd" display_number
export DISPLAY=:$display_number

wine explorer /desktop=Travex,620x540 "$WINDOWS_BUILD/travex-host.exe" edit "$work/motion.ptm" \
    --window --script "$work/script.txt" --delay 8000 >"$work/edit.out" 2>&1 &
edit=$!
# The dialog is up when the screen has more than a desktop's few colours.
for _ in $(seq 60); do
    sleep 1
    import -window root "$work/screen.png"
    colours=$(convert "$work/screen.png" -format %k info:)
    [ "$colours" -gt 10 ] && break
done
sleep 2
import -window root "$work/screen.png"
convert "$work/screen.png" -crop 620x540+0+0 -trim +repage "$output"
wait "$edit" || true
echo "windows-screenshot: $output ($(identify -format %wx%h "$output"))"
