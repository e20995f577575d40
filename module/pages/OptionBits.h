// The bits of the "Options" value and the options a fresh profile has.
#pragma once
#include <windows.h>

enum : DWORD {
    OptAttributes = 0x1,
    OptFileDetails = 0x2,
    OptShortcutInfo = 0x4,
    OptAdditionalInfo = 0x20,
    OptQuickExts = 0x200,
    OptTypeIcons = 0x400,
    OptCopyMenu = 0x800,
    OptOptionsMenu = 0x1000,
    OptQuickExtsSubmenu = 0x2000,
    OptAboutMenu = 0x4000,
    OptFileSummary = 0x8000,
    OptFileSummarySubmenu = 0x10000,
    OptAttributesSubmenu = 0x20000,
    OptCopyMenuSubmenu = 0x40000,
    OptFileDetailsSubmenu = 0x80000,
    OptShortcutInfoSubmenu = 0x100000,
};
const DWORD DefaultOptions = 0x00FFFBFF;
