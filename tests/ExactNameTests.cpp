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
        // The default options, with the quick extensions "doc" and "md".
        DeleteTree(HKEY_CURRENT_USER, kSettings);
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

TEST_P(ExactName, CopiesAndTogglesActOnTheExactFile)
{
    Handler handler(odd);
    handler.Invoke(kCopySize);
    EXPECT_EQ(L"11", ClipboardText());
    // The short path is copied in its plain form, and names this file, not its sibling.
    handler.Invoke(kCopyShortPath);
    std::wstring shortPath = ClipboardText();
    EXPECT_NE(0u, shortPath.find(L"\\\\?\\")) << shortPath;
    EXPECT_EQ("the odd one", ExactContent(shortPath)) << shortPath;
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

INSTANTIATE_TEST_SUITE_P(TrailingDotAndBlank, ExactName,
                         testing::Values(OddName{ L"a.", L"a.doc", "Dot" }, OddName{ L"a ", L"a .doc", "Blank" }),
                         [](const testing::TestParamInfo<OddName>& info) { return std::string(info.param.label); });

TEST(ExactFolder, ShortcutAndSummaryAreReadAndWrittenInAFolderEndingInADot)
{
    // The plain rules send "sub.\\x" to "sub\\x", which does not exist.
    CTempDir dir{ L"exactdir" };
    std::wstring link = dir / L"sub.\\Tool.lnk", doc = dir / L"sub.\\doc.mvd";
    ASSERT_TRUE(CreateDirectoryW(Exact(dir / L"sub.").c_str(), nullptr));
    std::wstring target = dir.MakeFile(L"tool.exe", "MZ");
    ASSERT_EQ(S_OK, CreateShortcut(Exact(link), target, L"-old", L""));
    ASSERT_EQ(S_OK, CreateCompoundDocument(Exact(doc), { "old title" }));

    CFileList links(HdropDataObject({ link }));
    EXPECT_STREQ(L"-old", links.GetLinkArguments(0));
    EXPECT_TRUE(links.WriteShortcut(nullptr, target.c_str(), L"-new", L""));
    EXPECT_EQ(L"-new", ReadShortcut(Exact(link)).arguments);

    CFileList docs(HdropDataObject({ doc }));
    EXPECT_STREQ(L"old title", docs.ElementAt(0).GetSummaryText(0));
    EXPECT_TRUE(docs.WriteSummary(nullptr, L"new title", L"", L"", L"", L""));
    EXPECT_STREQ(L"new title", docs.ElementAt(0).GetSummaryText(0));
}

TEST(PathForm, EveryAbsolutePathGetsTheKernelFormAndLosesItWhenShown)
{
    const std::pair<const wchar_t*, const wchar_t*> forms[] = { { L"C:\\a\\b.", L"\\\\?\\C:\\a\\b." },
                                                                 { L"\\\\srv\\share\\x ", L"\\\\?\\UNC\\srv\\share\\x " } };
    for (const auto& form : forms) {
        EXPECT_STREQ(form.second, KernelPath(form.first));
        EXPECT_STREQ(form.first, PlainPath(form.second));
    }
    for (const wchar_t* kept : { L"\\\\?\\C:\\x", L"\\\\.\\pipe\\x", L"relative\\x" })
        EXPECT_STREQ(kept, KernelPath(kept));
}

}
