#!/bin/sh
# Takes the README's pictures on a virtual display: the context menu of the sample file with two of
# its submenus open, each page of the sample's file-information sheet and the Shortcut page of a
# shortcut to it, all through the shell host (--menu-screenshot, --invoke N --screenshot). Writes
# docs/*.png only when every picture was taken; exits non-zero otherwise.
set -e
root=$(cd "$(dirname "$0")/.." && pwd)
if [ -z "${MORVANE_VIRTUAL_DISPLAY:-}" ]; then
  MORVANE_VIRTUAL_DISPLAY=1 exec xvfb-run -a -s "-screen 0 1280x1024x24" "$0" "$@"
fi
build=${BUILD_DIR:-$root/build}
cmake -S "$root" -B "$build" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" >/dev/null
cmake --build "$build" -j "$(nproc)" --target Morvane shellhost -- --no-print-directory >/dev/null
. "$root/tools/demo-prefix.sh"

# Fixed times, so that the pictures change only when the product does.
export TZ=UTC
touch -m -d '2025-03-07 13:07' "$documents/Sample Report.txt"
touch -a -d '2025-06-18 09:30' "$documents/Sample Report.txt"

shots="$demo/shots"
mkdir -p "$shots"
link="C:\\users\\Public\\Documents\\Sample Report.lnk"
cat >"$demo/shortcut.js" <<JS
var link = new ActiveXObject("WScript.Shell").CreateShortcut("$(printf '%s' "$link" | sed 's/\\/\\\\/g')");
link.TargetPath = "$(printf '%s' "$sample" | sed 's/\\/\\\\/g')";
link.WorkingDirectory = "C:\\\\users\\\\Public\\\\Documents";
link.Save();
JS
wine cscript //nologo "$(winepath -w "$demo/shortcut.js")" >/dev/null
touch -d '2025-03-07 13:12' "$documents/Sample Report.lnk"

# Runs the host on the module alone; its output goes to the terminal only when it fails.
shoot() {
  if ! wine "$host" --handler MorvaneMenu "$@" >"$demo/host.log" 2>&1; then
    tr -d '\r' <"$demo/host.log" >&2
    echo "make-docs-pictures: shellhost $* failed" >&2
    exit 1
  fi
}
# 1 is the "Type:" line, 37 the shortcut group's "Change...".
shoot --menu-screenshot "$(winepath -w "$shots/context-menu.png")" \
      --invoke 1 --screenshot "$(winepath -w "$shots/sheet.png")" "$sample"
shoot --invoke 37 --screenshot "$(winepath -w "$shots/shortcut.png")" "$link"
mv "$shots/shortcut-shortcut.png" "$shots/sheet-shortcut.png"
rm -f "$shots"/shortcut-*.png

pictures="context-menu sheet-type sheet-attributes sheet-shortcut sheet-summary sheet-options sheet-about"
for picture in $pictures; do
  [ -s "$shots/$picture.png" ] || { echo "make-docs-pictures: $picture.png was not taken" >&2; exit 1; }
done
mkdir -p "$root/docs"
for picture in $pictures; do
  cp "$shots/$picture.png" "$root/docs/$picture.png"
done
echo "Wrote $(echo "$pictures" | wc -w) pictures to $root/docs"
