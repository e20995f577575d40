# shellcheck shell=sh disable=SC2034,SC2154
# Sourced by run.sh and make-docs-pictures.sh with $build set: makes a fresh Wine prefix in
# $build/demo, registers the built module in it, gives it the .txt type and a sample file, and
# starts a persistent wineserver that ends with the calling script. Sets $demo, $documents (the
# sample's Linux folder) and $sample (its Windows path).
demo="$build/demo"
rm -rf "$demo"
mkdir -p "$demo"
export WINEPREFIX="$demo/prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winedbg.exe=d"
wineboot -i >/dev/null 2>&1
# A virtual display has no window manager: Wine's own desktop window then draws the captions. The
# desktop is chosen when Wine's explorer starts, so before anything else runs.
if [ -n "${MORVANE_VIRTUAL_DISPLAY:-}" ]; then
  wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null
  wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1280x1024 /f >/dev/null
fi
wineserver -w
wineserver -p >/dev/null 2>&1 </dev/null &
trap 'wineserver -k >/dev/null 2>&1 || true' EXIT

# Wine's own fonts, where this Wine does not find them by itself: Tahoma for the dialogs, Marlett
# for the caption buttons.
for font in tahoma.ttf tahomabd.ttf marlett.ttf; do
  for dir in /usr/share/wine/fonts /usr/lib/wine/fonts /opt/wine-stable/share/wine/fonts; do
    if [ -f "$dir/$font" ]; then cp "$dir/$font" "$WINEPREFIX/drive_c/windows/Fonts/"; break; fi
  done
done

module=$(winepath -w "$build/bin/Morvane.dll")
wine regsvr32 /s "$module"

# A fresh prefix knows no class for .txt: give it the one Windows has.
wine reg add 'HKCR\.txt' /ve /d txtfile /f >/dev/null
wine reg add 'HKCR\txtfile' /ve /d 'Text Document' /f >/dev/null
documents="$WINEPREFIX/drive_c/users/Public/Documents"
mkdir -p "$documents"
printf 'Quarterly figures\r\nRevenue rose in every region.\r\n' >"$documents/Sample Report.txt"
sample="C:\\users\\Public\\Documents\\Sample Report.txt"
host=$(winepath -w "$build/bin/shellhost.exe")
