// The user's settings: one key of the current user, the option bits, and the per-handler context
// that owns the open key, the current file list and the registered types.
#pragma once
#include "ExtList.h"
#include "FileList.h"
#include "Holders.h"
#include "Str.h"
#include <memory>

// Bits of the "Options" value.
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

extern const WCHAR kSettingsKey[];         // "SOFTWARE\Zeph\Morvane" under HKEY_CURRENT_USER
extern const WCHAR kValueOptions[];        // "Options"
extern const WCHAR kValueQuickExts[];      // "QuickExts"
extern const WCHAR kValueMultipleSelections[];  // "MultipleSelections"
extern const WCHAR kValueWidths[];         // "Widths"

// A registry key holder whose operations return Win32 error codes (0 = success).
class CRegKey2 {
public:
    CRegKey2() = default;
    virtual ~CRegKey2() = default;
    CRegKey2(const CRegKey2&) = delete;
    CRegKey2& operator=(const CRegKey2&) = delete;

    HKEY GetHandle() const { return m_key.Get(); }
    bool IsOpen() const { return m_key.IsValid(); }

    // The caller sets value to its default first: a missing value or a failure leaves it.
    LONG ReadDword(LPCWSTR name, DWORD& value) const;
    // A REG_SZ or REG_EXPAND_SZ (taken literally) with its terminator; a string without one or
    // with an odd byte count is ERROR_INVALID_DATA and leaves the text as it was.
    LONG ReadString(LPCWSTR name, CString& text) const;
    LONG WriteDword(LPCWSTR name, DWORD value);
    LONG WriteString(LPCWSTR name, LPCWSTR text);
    // Both keep the held key when they fail.
    LONG OpenKey(HKEY parent, LPCWSTR subKey, REGSAM access);
    LONG CreateKey(HKEY parent, LPCWSTR subKey, REGSAM access);
    LONG DeleteTree(LPCWSTR subKey);
    void Close() { m_key.Close(); }

private:
    CRegKeyHandle m_key;
};

// The open settings key. Values are never cached here.
class Options : public CRegKey2 {
public:
    Options();
};

// The settings as the Options page shows them: the bits of its check boxes and the quick list.
struct OptionsState {
    DWORD options = DefaultOptions;
    CString quickExts;
};
// Reads "Options" and "QuickExts" for the page; false when there are no settings.
bool LoadOptions(Options* settings, OptionsState& state);
// Writes exactly the sixteen meaningful bits of state.options and the quick list; always true.
bool SaveOptions(Options* settings, const OptionsState& state);
// The sixteen bits that the Options page shows.
const DWORD kMeaningfulOptions = OptAttributes | OptFileDetails | OptShortcutInfo | OptAdditionalInfo | OptQuickExts
    | OptTypeIcons | OptCopyMenu | OptOptionsMenu | OptQuickExtsSubmenu | OptAboutMenu | OptFileSummary
    | OptFileSummarySubmenu | OptAttributesSubmenu | OptCopyMenuSubmenu | OptFileDetailsSubmenu | OptShortcutInfoSubmenu;

// The per-handler context: the settings key, the current file list (and, for the Type page, the
// registered types).
class Parameters {
public:
    Parameters() = default;
    Parameters(const Parameters&) = delete;
    Parameters& operator=(const Parameters&) = delete;

    // Created, and the key create-opened, on the first call; null only when out of memory.
    Options* GetOptions();
    // With a selection, replaces the list with one built from it; returns the current list
    // (null until one was built).
    CFileList* GetFileList(IDataObject* selection = nullptr);
    // Built on the first call from the "Options" read then, and kept; null only when out of memory.
    CExtList* GetExtList();

private:
    std::unique_ptr<Options> m_options;
    std::unique_ptr<CFileList> m_fileList;
    std::unique_ptr<CExtList> m_extList;
};
