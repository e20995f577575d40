// The shell's context-menu handler for files, shortcuts and Internet shortcuts.
#pragma once
#include "Array.h"
#include "ComObject.h"
#include "MenuDescription.h"
#include "Settings.h"
#include "Str.h"
#include <shlobj.h>
#include <memory>

class CTraceSink;

class CMenuHandler : public CComObjectRoot, public IShellExtInit, public IContextMenu {
public:
    HRESULT InternalQueryInterface(REFIID riid, void** ppv)
    {
        static const QITAB table[] = {
            QI_ENTRY(CMenuHandler, IShellExtInit),
            QI_ENTRY(CMenuHandler, IContextMenu),
            { nullptr, 0 },
        };
        return QISearch(this, table, riid, ppv);
    }

    HRESULT FinalConstruct() override;
    void FinalRelease() override;

    // IShellExtInit
    STDMETHODIMP Initialize(PCIDLIST_ABSOLUTE folder, IDataObject* dataObject, HKEY progId) override;

    // IContextMenu
    STDMETHODIMP QueryContextMenu(HMENU menu, UINT indexMenu, UINT idCmdFirst, UINT idCmdLast, UINT flags) override;
    STDMETHODIMP InvokeCommand(CMINVOKECOMMANDINFO* info) override;
    STDMETHODIMP GetCommandString(UINT_PTR idCmd, UINT type, UINT* reserved, CHAR* name, UINT cchMax) override;

    // A copy of the command map as the last menu construction left it.
    struct CommandMap {
        int typeCmd, openWithFirst, locateCmd, copyFirst, copyCount, attrFirst, attrChangeCmd;
        int linkLocateCmd, linkChangeCmd, summaryChangeCmd, optionsCmd, aboutCmd, quickFirst, quickCount;
    };
    CommandMap GetCommandMap() const;

    // The menu for the selection given to Initialize, described rather than inserted, for the
    // Windows 11 command tree. False, with an empty description, where the classic menu would add
    // nothing or was already built.
    bool Describe(CMenuDescription& description);
    // Runs the command at the offset of the menu this object built, as InvokeCommand does; parent
    // owns whatever the command shows (null: nothing does).
    void RunCommand(UINT offset, HWND parent);
    // The paths of the selection the built menu is about; false when no menu was built.
    bool GetSelectedPaths(CArray<CString>& paths);
    const CArray<CString>& GetQuickExts() const { return m_pQuickExts; }

private:
    struct MenuContext;  // the description and its popup being filled, the file and the options

    void Dispatch(UINT offset, HWND parent);
    void ResetCommandMap();
    void Forget();
    void BuildMenu(CMenuDescription& menu);
    void BuildSimpleMenu(CMenuDescription& menu, CFileList& files);
    void BuildFullMenu(CMenuDescription& menu, CFileList& files, DWORD options, const CString& quickExts);
    void AddTypeLine(const MenuContext& context);
    void AddFileDetails(const MenuContext& context);
    void AddClipboard(const MenuContext& context);
    void AddAttributes(const MenuContext& context);
    void AddShortcut(const MenuContext& context);
    void AddSummary(const MenuContext& context);
    void AddDialogCommands(const MenuContext& context);
    void AddQuickExtensions(const MenuContext& context, const CString& quickExts);

    // The context of the one menu this object built: settings key and file list. It exists only
    // once a menu was built, so it is also the guard against building a second one.
    std::unique_ptr<Parameters> m_pParameters;
    // The command map: where the variable groups of the built menu landed, as offsets from the
    // first identifier the shell granted; -1 where a command is absent.
    CArray<CString> m_pQuickExts;  // entry i of the quick list, for i below kQuickExtMax
    int m_nTypeCmd = -1;
    int m_nLocateCmd = -1;
    int m_nAttrChangeCmd = -1;
    int m_nLinkChangeCmd = -1;
    int m_nLinkLocateCmd = -1;
    int m_nAttrFirst = -1;
    int m_nQuickFirst = -1;
    int m_nOptionsCmd = -1;
    int m_nAboutCmd = -1;
    int m_nCopyFirst = -1;
    int m_nSummaryChangeCmd = -1;
    int m_nOpenWithFirst = -1;
    int m_nQuickCount = 0;
    int m_nCopyCount = 0;
    CComPtr<IDataObject> m_pDataObject;
    CTraceSink* m_trace = nullptr;
    bool m_running = false;  // a command is under way: its sheet or message box may be open
};
