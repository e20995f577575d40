// The user's settings: one key of the current user, the option bits, and the per-handler context
// that owns the open key, the current file list and the registered types.
#pragma once
#include "ExtList.h"
#include "FileList.h"
#include "Holders.h"
#include "OptionBits.h"
#include "RegKey.h"
#include "Str.h"
#include <memory>

extern const WCHAR kSettingsKey[];         // "SOFTWARE\Zeph\Morvane" under HKEY_CURRENT_USER
extern const WCHAR kValueOptions[];        // "Options"
extern const WCHAR kValueQuickExts[];      // "QuickExts"
extern const WCHAR kValueMultipleSelections[];  // "MultipleSelections"
extern const WCHAR kValueWidths[];         // "Widths"

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
    ~Parameters();
    Parameters(const Parameters&) = delete;
    Parameters& operator=(const Parameters&) = delete;

    // Created, and the key create-opened, on the first call; null only when out of memory.
    Options* GetOptions();
    // With a selection, replaces the list with one built from it; returns the current list
    // (null until one was built).
    CFileList* GetFileList(IDataObject* selection = nullptr);
    // Built on the first call from the "Options" read then, and kept; null only when out of memory.
    CExtList* GetExtList();
    // Starts building the types on a thread of its own, so that the walk goes on while the sheet is
    // created; GetExtList (or the destructor) waits for it. Nothing once they are built or building.
    void BeginExtList();

private:
    static DWORD WINAPI BuildExtList(void* self);
    void FinishExtList();
    DWORD CurrentOptions();

    DWORD m_extListOptions = 0;
    CKernelHandle m_extListBuilder;
    std::unique_ptr<Options> m_options;
    std::unique_ptr<CFileList> m_fileList;
    std::unique_ptr<CExtList> m_extList;
};
