#!/bin/sh
# Builds Morvane, registers it with regsvr32 in a fresh Wine prefix, shows the keys it wrote, and
# right-clicks a sample file through the shell host: prints the context menu the registered
# handlers build for it, as Explorer would show it. Files named on the command line (Linux or
# Windows paths) get their menus too, one right-click each; options for the host (--help-texts,
# --flags N, --handler X, --invoke N, --first N, --screenshot F.png, --menu-screenshot F.png) pass
# through. --modern prints the Windows 11 menu's command tree instead, and with it --invoke takes
# the titles leading to a command ("Copy File Name"). Pictures are taken on the user's display, or on a virtual one when there is none.
set -e
root=$(cd "$(dirname "$0")/.." && pwd)
case " $* " in
  *" --screenshot "*|*" --menu-screenshot "*)
    if [ -z "${DISPLAY:-}" ] && [ -z "${MORVANE_VIRTUAL_DISPLAY:-}" ]; then
      MORVANE_VIRTUAL_DISPLAY=1 exec xvfb-run -a -s "-screen 0 1280x1024x24" "$0" "$@"
    fi ;;
esac
build=$("$root/tools/build.sh")
. "$root/tools/demo-prefix.sh"

echo "Registered $module"
for key in 'HKCR\Morvane.MenuHandler' 'HKCR\Morvane.MenuHandler.1' 'HKCR\Morvane.Logger' 'HKCR\Morvane.Logger.1' \
           'HKCR\CLSID\{5A1E0C37-6B2D-4F80-9C14-7E3B2A9D0F61}' 'HKCR\CLSID\{6F3A91C2-0B7D-4E58-A1C6-93D04B2E7F18}' \
           'HKCR\*\shellex\ContextMenuHandlers\MorvaneMenu' 'HKCR\lnkfile\shellex\ContextMenuHandlers\MorvaneMenu' \
           'HKCR\piffile\shellex\ContextMenuHandlers\MorvaneMenu' 'HKCR\InternetShortcut\shellex\ContextMenuHandlers\MorvaneMenu' \
           'HKCR\TypeLib\{5A1E0C27-6B2D-4F80-9C14-7E3B2A9D0F61}'; do
  wine reg query "$key" /s 2>/dev/null | tr -d '\r' | sed '/^$/d'
done

windows_path() {
  case "$1" in
    [A-Za-z]:\\*) printf '%s\n' "$1" ;;
    *) winepath -w "$1" ;;
  esac
}

options=""
files="$sample"
newline='
'
while [ $# -gt 0 ]; do
  case "$1" in
    --flags|--handler|--invoke|--first) options="$options$newline$1$newline$2"; shift 2 ;;
    --screenshot|--menu-screenshot)
      # The picture's folder must exist for winepath to name it.
      mkdir -p "$(dirname "$2")"
      options="$options$newline$1$newline$(windows_path "$2")"; shift 2 ;;
    -*) options="$options$newline$1"; shift ;;
    *) files="$files$newline$(windows_path "$1")"; shift ;;
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
