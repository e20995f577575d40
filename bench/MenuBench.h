// Right-clicks through the real module, and the bare platform calls that the same menu needs.
#pragma once
#include "Holders.h"
#include <shlobj.h>
#include <shobjidl.h>
#include <string>
#include <vector>

// The built module, loaded once; handlers come from its class object, as the shell gets them.
class CMorvaneModule {
public:
    CMorvaneModule() = default;
    CMorvaneModule(const CMorvaneModule&) = delete;
    CMorvaneModule& operator=(const CMorvaneModule&) = delete;
    bool Load(const std::wstring& path);

    // One complete right-click: a fresh handler initialised with the selection builds its menu
    // into a fresh popup; handler and menu are released. With shape, the menu is recorded first.
    void RightClick(IDataObject* selection, PCIDLIST_ABSOLUTE folder, struct MenuShape* shape = nullptr) const;
    // The Windows 11 menu for the same selection: a fresh command root asked for its slow state,
    // then every command's flags, state, title and tool tip, subcommands enumerated. Returns the
    // commands seen (0 when the module serves no command tree).
    int WalkCommandTree(IShellItemArray* selection) const;

private:
    CLibrary m_library;
    CComPtr<IClassFactory> m_factory;
    CComPtr<IClassFactory> m_commandFactory;
};

// What a built menu holds, to insert the same items bare.
struct MenuShape {
    struct Item {
        UINT flags = 0;  // MF_ flags for InsertMenuW
        std::wstring text;
        std::vector<Item> children;  // a popup's items
    };
    std::vector<Item> items;
    int ItemCount() const;
    int PopupCount() const;
};

// The calls a full menu on one document cannot do without: the file list from the data object,
// the find data once, the three settings values, the type-name lookups (the file's own with its
// shortcut test, one per shown quick extension), the summary property set once, and the popups
// and items of the same menu.
struct FullMenuFloor {
    IDataObject* selection = nullptr;
    std::wstring path;
    std::vector<std::wstring> typeLookups;  // extensions with dot; the first is the file's own
    const MenuShape* shape = nullptr;
    void operator()() const;

    // The floor's parts one by one, to show where its time goes.
    enum Part { kPaths, kFindData, kSettings, kTypeLookups, kSummary, kMenu, kPartCount };
    static const wchar_t* PartName(Part part);
    void RunPart(Part part) const;
};

// The calls a simple menu on many files cannot do without: every path from the data object,
// the settings values and the one item.
struct SimpleMenuFloor {
    IDataObject* selection = nullptr;
    const MenuShape* shape = nullptr;
    void operator()() const;
};

// The same paths read in one pass over the dropped-file block: what a linear reader costs.
struct OnePassPaths {
    IDataObject* selection = nullptr;
    void operator()() const;
};

// The absolute item list of a folder, owned.
class CFolderIdList {
public:
    explicit CFolderIdList(const std::wstring& folder) : m_pidl(ILCreateFromPathW(folder.c_str())) {}
    ~CFolderIdList() { ILFree(m_pidl); }
    CFolderIdList(const CFolderIdList&) = delete;
    CFolderIdList& operator=(const CFolderIdList&) = delete;
    PCIDLIST_ABSOLUTE Get() const { return m_pidl; }

private:
    PIDLIST_ABSOLUTE m_pidl;
};
