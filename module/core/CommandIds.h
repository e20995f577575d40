// The fixed command offsets every menu claims from the shell, and their help texts.
#pragma once
#include <windows.h>

const int kCommandCount = 56;
const int kHelpTextCount = 46;   // offsets 0 to 45 have texts of their own
const int kQuickExtMax = 10;     // quick-extension items shown at most

enum CommandOffset : int {
    kCmdExtension = 0,       // simple menu
    kCmdType = 1,
    kCmdOpenWithFirst = 2,   // 2 to 11, reserved, never in a menu
    kCmdSize = 12,
    kCmdShortName = 13,
    kCmdCreated = 14,
    kCmdModified = 15,
    kCmdAccessed = 16,
    kCmdLocate = 17,
    kCmdCopyFirst = 18,      // 18 to 24: extension, name, path, short name, short path, size, type
    kCmdCopyCount = 7,
    kCmdAttrFirst = 25,      // 25 to 30: archive, read-only, hidden, system, compressed, temporary
    kCmdClearAll = 31,
    kCmdAttrChange = 32,
    kCmdLinkTarget = 33,
    kCmdLinkArguments = 34,
    kCmdLinkDirectory = 35,
    kCmdLinkLocate = 36,
    kCmdLinkChange = 37,
    kCmdSummaryFirst = 38,   // 38 to 42: title, subject, author, keywords, comments
    kCmdSummaryChange = 43,
    kCmdOptions = 44,
    kCmdAbout = 45,
    kCmdQuickFirst = 46,     // 46 to 55
};

extern const WCHAR* const kHelpTextsW[kHelpTextCount];
extern const WCHAR kQuickExtHelpW[];  // "Change the file's extension"
// The wide help text of any offset; empty outside them.
LPCWSTR HelpText(int offset);
