// Renaming many files to another extension: through the module's quick-extension command, and
// bare through the shell's file operation, one call per file as the command makes them.
#pragma once
#include <string>
#include <vector>

// Files that flip between two extensions, so that every run renames all of them.
class CRenameSet {
public:
    CRenameSet(const std::vector<std::wstring>& paths, const std::wstring& ext, const std::wstring& otherExt);
    std::vector<std::wstring> Paths() const;     // the files as they are named now
    const std::wstring& Current() const { return m_current; }
    const std::wstring& Next() const { return m_current == m_ext ? m_otherExt : m_ext; }  // without dot
    void Flip() { m_current = Next(); }
    // All files carry the current extension.
    bool Consistent() const;

private:
    std::vector<std::wstring> m_stems;  // paths without the dot and extension
    std::wstring m_ext, m_otherExt, m_current;
};

// SHFileOperationW FO_RENAME on each file with the flags of the module's rename; then Flip().
void RenameBare(CRenameSet& files);
// The same renames made by the module's quick-extension command. Prepare (untimed) builds the
// file list the command works on, as the menu did before the user chose the command; Run renames
// and then Flip()s.
class CQuickExtensionRename {
public:
    CQuickExtensionRename();
    ~CQuickExtensionRename();
    CQuickExtensionRename(const CQuickExtensionRename&) = delete;
    CQuickExtensionRename& operator=(const CQuickExtensionRename&) = delete;

    // False while the module's command cannot be run here: then nothing is renamed.
    static bool Available();
    void Prepare(const CRenameSet& files);
    void Run(CRenameSet& files);

private:
    struct State;
    State* m_state;
};
