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

    private:
        void ClearSummary();
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
    // Writes the five summary values into every file's summary property set.
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
