// The files the user selected, in the shell's order, with what the menu, the commands and the
// pages show of them. Find data and summary values are read afresh at every access; shortcut
// details once per path.
#pragma once
#include "Array.h"
#include "PathForm.h"
#include "Str.h"
#include <objidl.h>

// True on the NT platform from major version 5 on: summary properties need it.
bool IsNt5OrLater();

// How a file's find data is read: FindFirstFileW. Tests put a reader in its place to give a file
// the attributes of a cloud placeholder, which Wine's file system drops; null restores the default.
using FindDataReader = HANDLE(WINAPI*)(LPCWSTR path, LPWIN32_FIND_DATAW data);
void SetFindDataReader(FindDataReader reader);

class CFileList {
public:
    static const int kSummaryCount = 5;  // title, subject, author, keywords, comments

    class CFileInfo {
    public:
        CFileInfo();
        virtual ~CFileInfo();
        CFileInfo(CFileInfo&& other);
        CFileInfo& operator=(CFileInfo&& other);
        CFileInfo(const CFileInfo&) = delete;
        CFileInfo& operator=(const CFileInfo&) = delete;

        // Stores the path, splits it into name and extension, and marks the shortcut details stale.
        void SetPath(LPCWSTR path);
        void LoadFindData();
        void LoadLinkInfo();
        // Reads the five summary values: a compound document's from its summary property set; any
        // other file's from the property system when its handler has them, else from the property
        // set that NTFS keeps beside the file.
        void ReadSummary();
        ULONGLONG GetFileLength();
        const CString& GetShortName();
        const CString& GetShortPath();
        // The text of summary value index 0 to 4; empty when it holds no string.
        CString GetSummaryText(int index);

        // The same details from what the last LoadFindData and ReadSummary found, without reading
        // again: for a caller that shows several of them at one moment, such as the menu.
        ULONGLONG FileLength() const;
        const CString& ShortName();
        CString SummaryText(int index) const;

        // Whether the last find data read shows a cloud placeholder whose content is not on the
        // disk: opening it would download it, so a right-click must not.
        bool IsOnlineOnly() const;
        // Reads the registered type once, its name and whether it is a shortcut type, for a caller
        // that needs both (the menu); TypeName and IsShortcutOfLoadedType use what it found.
        void LoadType();
        const CString& TypeName() const { return m_typeName; }
        // Whether the file is a shortcut with a target, reading its link once if its type is a
        // shortcut type. An online-only file is not opened to find out: it counts as none.
        bool IsShortcutOfLoadedType();

        CString m_path;
        CString m_name;
        CString m_extension;  // with its leading dot; empty when the name has no dot
        WIN32_FIND_DATAW m_findData;
        CString m_shortName;
        CString m_shortPath;
        bool m_linkLoaded;
        CString m_linkTarget;
        CString m_linkArguments;
        CString m_linkWorkingDir;
        PROPVARIANT m_summary[kSummaryCount];
        // The summary values came from the property system and are written back through it.
        bool m_summaryFromStore;
        CString m_typeName;
        bool m_shortcutType;

    private:
        void ReadLink();
        void ClearSummary();
        void ReadSummarySet(IPropertySetStorage* sets);
        void TakeSummary(PROPVARIANT* values);
        void TakeFrom(CFileInfo& other);
    };

    explicit CFileList(IDataObject* dataObject);
    CFileList(const CFileList&) = delete;
    CFileList& operator=(const CFileList&) = delete;

    int GetSize() const { return m_files.GetSize(); }
    // An index outside the list yields an empty record that stands for no file.
    CFileInfo& ElementAt(int index);

    DWORD GetAttributes(int index);
    FILETIME GetCreationTime(int index);
    FILETIME GetLastWriteTime(int index);
    FILETIME GetLastAccessTime(int index);
    bool IsShortcut(int index);
    const CString& GetLinkTarget(int index);
    const CString& GetLinkArguments(int index);
    const CString& GetLinkWorkingDir(int index);

    // Gives every file the requested attributes, except the bits in keep, which stay as they are.
    bool SetAttributes(HWND parent, DWORD requested, DWORD keep);
    // Renames every file to the new extension (given without dot) through the shell's undoable rename.
    bool ReplaceExtension(HWND parent, LPCWSTR extension);
    // False when the new extension would give a file a name or a path longer than the file system
    // takes; nothing may be renamed then.
    bool FitsExtension(LPCWSTR extension) const;
    // Which of the first file's five summary values can be changed, as bits 0 to 4: all of those in
    // a property set; in the property system, those that the file's handler writes.
    UINT WritableSummaryFields();
    // Writes the five summary values of the first file where they were read from (only those that
    // changed, in the property system).
    bool WriteSummary(HWND parent, LPCWSTR title, LPCWSTR subject, LPCWSTR author, LPCWSTR keywords, LPCWSTR comments);
    // Writes target, arguments and working directory into every shortcut of the list.
    bool WriteShortcut(HWND parent, LPCWSTR target, LPCWSTR arguments, LPCWSTR workingDir);

    // Adds a record for the path (used when the list is built, and by tests).
    bool AddPath(LPCWSTR path);

private:
    // The record with its find data read afresh, or its shortcut details read once.
    const WIN32_FIND_DATAW& FreshFindData(int index);
    CFileInfo& LinkInfo(int index);
    void AddDropList(const BYTE* block, SIZE_T size);
    template <class Char>
    void AddNames(const Char* names, SIZE_T limit);

    CArray<CFileInfo> m_files;
    CFileInfo m_none;
};
