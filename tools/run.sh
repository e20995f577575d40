#!/bin/sh
# Builds Morvane, registers it with regsvr32 in a fresh Wine prefix and shows the keys it wrote.
set -e
root=$(cd "$(dirname "$0")/.." && pwd)
build=$("$root/tools/build.sh")
demo="$build/demo"
rm -rf "$demo"
mkdir -p "$demo"
export WINEPREFIX="$demo/prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winedbg.exe=d"
wineboot -i >/dev/null 2>&1
wineserver -w
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
wineserver -k
