#!/bin/sh
# Builds Morvane, registers it with regsvr32 in a fresh Wine prefix, shows the keys it wrote, and
# right-clicks a sample file through the shell host: prints the context menu the registered
# handlers build for it, as Explorer would show it. Files named on the command line (Linux or
# Windows paths) get their menus too, one right-click each; options for the host (--help-texts,
# --flags N, --handler X, --invoke N, --first N) pass through.
set -e
root=$(cd "$(dirname "$0")/.." && pwd)
build=$("$root/tools/build.sh")
demo="$build/demo"
rm -rf "$demo"
mkdir -p "$demo"
export WINEPREFIX="$demo/prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winedbg.exe=d"
wineboot -i >/dev/null 2>&1
wineserver -w
wineserver -p >/dev/null 2>&1 </dev/null &
trap 'wineserver -k >/dev/null 2>&1 || true' EXIT

module=$(winepath -w "$build/bin/Morvane.dll")
wine regsvr32 /s "$module"
echo "Registered $module"
for key in 'HKCR\Morvane.MenuHandler' 'HKCR\Morvane.MenuHandler.1' 'HKCR\Morvane.Logger' 'HKCR\Morvane.Logger.1' \
           'HKCR\CLSID\{5A1E0C37-6B2D-4F80-9C14-7E3B2A9D0F61}' 'HKCR\CLSID\{6F3A91C2-0B7D-4E58-A1C6-93D04B2E7F18}' \
           'HKCR\*\shellex\ContextMenuHandlers\MorvaneMenu' 'HKCR\lnkfile\shellex\ContextMenuHandlers\MorvaneMenu' \
           'HKCR\piffile\shellex\ContextMenuHandlers\MorvaneMenu' 'HKCR\InternetShortcut\shellex\ContextMenuHandlers\MorvaneMenu' \
           'HKCR\TypeLib\{5A1E0C27-6B2D-4F80-9C14-7E3B2A9D0F61}'; do
  wine reg query "$key" /s 2>/dev/null | tr -d '\r' | sed '/^$/d'
done

# A fresh prefix knows no class for .txt: give it the one Windows has.
wine reg add 'HKCR\.txt' /ve /d txtfile /f >/dev/null
wine reg add 'HKCR\txtfile' /ve /d 'Text Document' /f >/dev/null
documents="$WINEPREFIX/drive_c/users/Public/Documents"
mkdir -p "$documents"
printf 'Quarterly figures\r\nRevenue rose in every region.\r\n' >"$documents/Sample Report.txt"

host=$(winepath -w "$build/bin/shellhost.exe")
options=""
files="C:\\users\\Public\\Documents\\Sample Report.txt"
newline='
'
while [ $# -gt 0 ]; do
  case "$1" in
    --flags|--handler|--invoke|--first) options="$options$newline$1$newline$2"; shift 2 ;;
    -*) options="$options$newline$1"; shift ;;
    *) case "$1" in
         [A-Za-z]:\\*) file="$1" ;;
         *) file=$(winepath -w "$1") ;;
       esac
       files="$files$newline$file"; shift ;;
  esac
done

status=0
IFS="$newline"
for file in $files; do
  echo
  # shellcheck disable=SC2086
  { rc=0; wine "$host" $options "$file" || rc=$?; echo $rc >"$demo/host-status"; } | tr -d '\r'
  [ "$(cat "$demo/host-status")" = 0 ] || status=1
done
exit $status
