// Names ending in a blank or a dot, made through "\\?\" paths beside the sibling that the plain
// path rules turn them into: every command acts on the name the shell handed over.
#include <gtest/gtest.h>
#include "ComObject.h"
#include "DialogWatcher.h"
#include "FileList.h"
#include "MenuHandler.h"
#include "TestSupport.h"

namespace {

const wchar_t kSettings[] = L"SOFTWARE\\Zeph\\Morvane";
const UINT kCopyShortPath = 22, kCopySize = 23, kToggleReadOnly = 26, kQuickDoc = 46;

std::wstring Exact(const std::wstring& path)
{
    return L"\\\\?\\" + path;
}

void MakeExactFile(const std::wstring& path, const std::string& content)
{
    CFileHandle file(CreateFileW(Exact(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    ASSERT_TRUE(file.IsValid()) << path;
    DWORD written = 0;
    WriteFile(file, content.data(), DWORD(content.size()), &written, nullptr);
}

// The content of exactly this file; "(none)" when it does not exist.
std::string ExactContent(const std::wstring& path)
{
    CFileHandle file(CreateFileW(Exact(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    if (!file.IsValid())
        return "(none)";
    char buffer[64];
    DWORD got = 0;
    ReadFile(file, buffer, sizeof(buffer), &got, nullptr);
    return std::string(buffer, got);
}

bool IsReadOnly(const std::wstring& path)
{
    return GetFileAttributesW(Exact(path).c_str()) & FILE_ATTRIBUTE_READONLY;
}

// A handler initialised with the names exactly as Explorer hands them over, its menu built.
class Handler {
public:
    explicit Handler(const std::wstring& path)
    {
        EXPECT_EQ(S_OK, (CreateComInstance<CMenuHandler, false>(nullptr, IID_IContextMenu, m_menu.ReceiveVoid())));
        CComPtr<IShellExtInit> init;
        EXPECT_EQ(S_OK, m_menu.QueryInterface(IID_IShellExtInit, init));
        EXPECT_EQ(S_OK, init->Initialize(nullptr, HdropDataObject({ path }), nullptr));
        m_popup.Attach(CreatePopupMenu());
        EXPECT_TRUE(SUCCEEDED(m_menu->QueryContextMenu(m_popup, 0, 100, 0x7FFF, CMF_NORMAL)));
    }
    void Invoke(UINT offset)
    {
        CMINVOKECOMMANDINFO info = {};
        info.cbSize = sizeof(info);
        info.lpVerb = MAKEINTRESOURCEA(offset);
        EXPECT_EQ(S_OK, m_menu->InvokeCommand(&info));
    }

private:
    CComPtr<IContextMenu> m_menu;
    CMenuHandle m_popup;
};

struct OddName {
    const wchar_t* name;
    const wchar_t* renamed;  // after the quick extension "doc"
    const char* label;
};

class ExactName : public testing::TestWithParam<OddName> {
protected:
    void SetUp() override
    {
        CRegKeyHandle key;
        DWORD options = DefaultOptions;
        ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExW(HKEY_CURRENT_USER, kSettings, 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr));
        RegSetValueExW(key, L"Options", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&options), sizeof(options));
        WriteString(HKEY_CURRENT_USER, kSettings, L"QuickExts", L"doc;md");
        MakeExactFile(sibling, "sibling");
        MakeExactFile(odd, "the odd one");
    }
    void TearDown() override { DeleteTree(HKEY_CURRENT_USER, kSettings); }

    CTempDir dir{ L"exact" };
    std::wstring sibling = dir / L"a";
    std::wstring odd = dir / GetParam().name;
    CDialogWatcher dialogs;
};

TEST_P(ExactName, SizeCopyAndAttributeToggleActOnTheExactFile)
{
    Handler handler(odd);
    handler.Invoke(kCopySize);
    EXPECT_EQ(L"11", ClipboardText());
    handler.Invoke(kToggleReadOnly);
    EXPECT_TRUE(IsReadOnly(odd));
    EXPECT_FALSE(IsReadOnly(sibling));
}

TEST_P(ExactName, AQuickExtensionRenamesTheExactFile)
{
    Handler handler(odd);
    handler.Invoke(kQuickDoc);
    EXPECT_EQ("the odd one", ExactContent(dir / GetParam().renamed));
    EXPECT_EQ("(none)", ExactContent(odd));
    EXPECT_EQ("sibling", ExactContent(sibling));
    EXPECT_EQ(L"", dialogs.Describe());
}

TEST_P(ExactName, ARenameOntoAnExistingNameIsRefusedAndReported)
{
    MakeExactFile(dir / GetParam().renamed, "existing");
    Handler handler(odd);
    handler.Invoke(kQuickDoc);
    EXPECT_EQ("existing", ExactContent(dir / GetParam().renamed));
    EXPECT_EQ("the odd one", ExactContent(odd));
    ASSERT_EQ(1u, dialogs.Seen().size()) << dialogs.Describe();
    EXPECT_EQ(L"Could not rename \"" + std::wstring(GetParam().name) + L"\".", dialogs.Seen()[0].text);
}

TEST_P(ExactName, TheShortPathIsCopiedPlainAndNamesTheExactFile)
{
    Handler handler(odd);
    handler.Invoke(kCopyShortPath);
    std::wstring shortPath = ClipboardText();
    EXPECT_NE(0u, shortPath.find(L"\\\\?\\")) << shortPath;
    EXPECT_EQ("the odd one", ExactContent(shortPath)) << shortPath;
}

INSTANTIATE_TEST_SUITE_P(TrailingDotAndBlank, ExactName,
                         testing::Values(OddName{ L"a.", L"a.doc", "Dot" }, OddName{ L"a ", L"a .doc", "Blank" }),
                         [](const testing::TestParamInfo<OddName>& info) { return std::string(info.param.label); });

TEST(ExactFolder, ShortcutAndSummaryAreReadAndWrittenInTheExactFolder)
{
    // "sub." resolves to "sub" by the plain rules.
    CTempDir dir{ L"exactdir" };
    std::wstring odd = dir / L"sub.", plain = dir / L"sub";
    ASSERT_TRUE(CreateDirectoryW(Exact(odd).c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryW(Exact(plain).c_str(), nullptr));
    std::wstring target = dir.MakeFile(L"tool.exe", "MZ"), other = dir.MakeFile(L"other.exe", "MZ");
    ASSERT_EQ(S_OK, CreateShortcut(Exact(odd + L"\\Tool.lnk"), target, L"-odd", L""));
    ASSERT_EQ(S_OK, CreateShortcut(Exact(plain + L"\\Tool.lnk"), other, L"-plain", L""));
    ASSERT_EQ(S_OK, CreateCompoundDocument(Exact(odd + L"\\doc.mvd"), { "odd title" }));
    ASSERT_EQ(S_OK, CreateCompoundDocument(Exact(plain + L"\\doc.mvd"), { "plain title" }));

    CFileList links(HdropDataObject({ odd + L"\\Tool.lnk" }));
    EXPECT_STREQ(L"-odd", links.GetLinkArguments(0));
    EXPECT_TRUE(links.WriteShortcut(nullptr, target.c_str(), L"-new", L""));
    EXPECT_EQ(L"-new", ReadShortcut(Exact(odd + L"\\Tool.lnk")).arguments);
    EXPECT_EQ(L"-plain", ReadShortcut(Exact(plain + L"\\Tool.lnk")).arguments);

    CFileList docs(HdropDataObject({ odd + L"\\doc.mvd" }));
    EXPECT_STREQ(L"odd title", docs.ElementAt(0).GetSummaryText(0));
    EXPECT_TRUE(docs.WriteSummary(nullptr, L"new title", L"", L"", L"", L""));
    EXPECT_STREQ(L"new title", docs.ElementAt(0).GetSummaryText(0));
    CFileList plainDocs(HdropDataObject({ plain + L"\\doc.mvd" }));
    EXPECT_STREQ(L"plain title", plainDocs.ElementAt(0).GetSummaryText(0));
}

TEST(ExactFolder, TheShortPathOfAPathPastMaxPathIsCopiedPlain)
{
    CTempDir dir{ L"exactlong" };
    std::wstring deep = dir.Path();
    for (wchar_t c : { L'p', L'q', L'r' }) {
        deep += L"\\" + std::wstring(100, c);
        ASSERT_TRUE(CreateDirectoryW(Exact(deep).c_str(), nullptr));
    }
    MakeExactFile(deep + L"\\deep.txt", "deep");
    CFileList list(HdropDataObject({ deep + L"\\deep.txt" }));
    std::wstring shortPath = list.ElementAt(0).GetShortPath().GetString();
    EXPECT_EQ(0u, shortPath.find(dir.Path().substr(0, 3))) << shortPath;
    EXPECT_EQ("deep", ExactContent(shortPath));
}

struct PathForms {
    const wchar_t* plain;
    const wchar_t* kernel;
};

TEST(PathForm, EveryAbsolutePathGetsTheKernelFormAndLosesItWhenShown)
{
    const PathForms cases[] = {
        { L"C:\\a\\b.", L"\\\\?\\C:\\a\\b." },
        { L"\\\\server\\share\\x ", L"\\\\?\\UNC\\server\\share\\x " },
        { L"C:\\a", L"\\\\?\\C:\\a" },
    };
    for (const PathForms& c : cases) {
        EXPECT_STREQ(c.kernel, KernelPath(c.plain)) << c.plain;
        EXPECT_STREQ(c.plain, PlainPath(c.kernel)) << c.kernel;
    }
    EXPECT_STREQ(L"\\\\?\\C:\\a\\b", KernelPath(L"C:/a/b"));
    for (const wchar_t* kept : { L"\\\\?\\C:\\x", L"\\\\.\\pipe\\x", L"relative\\x", L"" })
        EXPECT_STREQ(kept, KernelPath(kept)) << kept;
}

TEST(PathForm, OnlyPathsThePathRulesLeaveAloneAreExactInPlainForm)
{
    EXPECT_TRUE(IsExactPlainPath(L"C:\\a\\b.txt"));
    for (const wchar_t* rewritten : { L"C:\\a\\b.", L"C:\\a\\b ", L"C:\\a.\\b", L"C:/a/b", L"C:\\a\\..\\b", L"" })
        EXPECT_FALSE(IsExactPlainPath(rewritten)) << rewritten;
    EXPECT_FALSE(IsExactPlainPath(CString((L"C:\\" + std::wstring(MAX_PATH, L'x')).c_str())));
}

}
