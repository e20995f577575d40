// The files, file types and settings the benchmark works on, made in a folder of its own and in
// the registry of the prefix it runs in, and removed again when the fixture goes.
#pragma once
#include "TestSupport.h"
#include <memory>
#include <string>
#include <vector>

class CBenchFixture {
public:
    CBenchFixture();
    ~CBenchFixture();
    CBenchFixture(const CBenchFixture&) = delete;
    CBenchFixture& operator=(const CBenchFixture&) = delete;

    // A compound document with all five summary properties set.
    std::wstring MakeCompoundDocument(const std::wstring& name);
    // count empty files named <prefix>00000<ext> ... in a new subfolder; their paths.
    std::vector<std::wstring> MakeFiles(const std::wstring& folder, const std::wstring& prefix, int count,
                                        const std::wstring& ext);
    // The shell's data object for every file in the folder, from the folder's own enumeration as
    // Explorer has them (much faster than one ILCreateFromPathW per file).
    static CComPtr<IDataObject> FolderSelection(const std::wstring& folder);
    // The settings every menu of the run reads: all groups, the given quick extensions.
    void WriteSettings(DWORD options, const std::wstring& quickExts);
    // Registers the extension's class unless it has one; the fixture removes what it added.
    void EnsureFileType(const std::wstring& ext, const std::wstring& progId, const std::wstring& typeName);

    const std::wstring& Folder() const { return m_dir.Path(); }

private:
    CTempDir m_dir{ L"bench" };
    std::vector<std::wstring> m_addedKeys;
};
