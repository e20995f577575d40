// Themed windows in any host: both binaries name Common Controls 6 in their manifests, and the
// module's sheet, opened by this program (which has no manifest), is made of version-6 controls.
// Under Wine both versions are one comctl32.dll reporting 5.81, so DllGetVersion cannot tell them
// apart; what can be seen is where a control's class comes from: inside a Common Controls 6
// context "Button" is comctl32's versioned class, outside it user32's own.
#include <windows.h>
#include <prsht.h>
#include <gtest/gtest.h>
#include "Guids.h"
#include "SheetDriver.h"
#include "TestSupport.h"

namespace {

const int kAboutOffset = 45;

std::string ManifestOf(const std::wstring& path, int id)
{
    CLibrary image(LoadLibraryExW(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE));
    if (!image.IsValid())
        return "(not loaded)";
    HRSRC resource = FindResourceW(image, MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(24));
    HGLOBAL data = resource ? LoadResource(image, resource) : nullptr;
    if (!data)
        return "(none)";
    return std::string(static_cast<const char*>(LockResource(data)), SizeofResource(image, resource));
}

void ExpectCommonControls6(const std::string& manifest)
{
    EXPECT_NE(std::string::npos, manifest.find("name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\"")) << manifest;
    EXPECT_NE(std::string::npos, manifest.find("publicKeyToken=\"6595b64144ccf1df\"")) << manifest;
}

// The file name of the module whose code handles the window's messages.
std::wstring WindowProcModule(HWND window)
{
    HMODULE module = nullptr;
    GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCWSTR>(GetWindowLongPtrW(window, GWLP_WNDPROC)), &module);
    wchar_t path[MAX_PATH] = L"";
    GetModuleFileNameW(module, path, MAX_PATH);
    std::wstring name = path;
    name = name.substr(name.find_last_of(L'\\') + 1);
    CharLowerW(&name[0]);
    return name;
}

TEST(ThemedWindows, BothBinariesNameCommonControls6)
{
    ExpectCommonControls6(ManifestOf(BuiltModulePath(), 2));
    std::wstring setup = BuiltModulePath();
    setup = setup.substr(0, setup.find_last_of(L'\\') + 1) + L"Setup.exe";
    ExpectCommonControls6(ManifestOf(setup, 1));
}

TEST(ThemedWindows, TheSheetInAHostWithoutManifestIsMadeOfVersion6Controls)
{
    ASSERT_EQ(nullptr, FindResourceW(nullptr, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24))) << "the host must have no manifest";
    CWindowHandle hostButton(CreateWindowW(L"Button", L"host", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr));
    ASSERT_TRUE(hostButton.IsValid());
    EXPECT_EQ(L"user32.dll", WindowProcModule(hostButton)) << "the host's own buttons are the old ones";

    DeleteTree(HKEY_CURRENT_USER, L"SOFTWARE\\Zeph\\Morvane");
    CTempDir dir{ L"themed" };
    std::wstring file = dir.MakeFile(L"readme.txt");
    CLibrary module(LoadLibraryW(BuiltModulePath().c_str()));
    ASSERT_TRUE(module.IsValid());
    auto getClassObject = reinterpret_cast<HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**)>(
        GetProcAddress(module, "DllGetClassObject"));
    ASSERT_TRUE(getClassObject);
    CComPtr<IClassFactory> factory;
    ASSERT_EQ(S_OK, getClassObject(CLSID_MorvaneMenuHandler, IID_IClassFactory, factory.ReceiveVoid()));
    CComPtr<IShellExtInit> init;
    ASSERT_EQ(S_OK, factory->CreateInstance(nullptr, IID_IShellExtInit, init.ReceiveVoid()));
    ASSERT_EQ(S_OK, init->Initialize(nullptr, ShellDataObject({ file }), nullptr));
    CComPtr<IContextMenu> menu;
    ASSERT_EQ(S_OK, init.QueryInterface(IID_IContextMenu, menu));
    CMenuHandle shellMenu(CreatePopupMenu());
    ASSERT_EQ(MAKE_HRESULT(SEVERITY_SUCCESS, 0, 56), menu->QueryContextMenu(shellMenu, 0, 100, 300, CMF_NORMAL));

    HANDLE before = nullptr, after = INVALID_HANDLE_VALUE;
    {
        CSheetDriver sheet([&] {
            GetCurrentActCtx(&before);
            CMINVOKECOMMANDINFO info = { sizeof(info) };
            info.lpVerb = MAKEINTRESOURCEA(kAboutOffset);
            menu->InvokeCommand(&info);
            GetCurrentActCtx(&after);
        });
        ASSERT_TRUE(sheet.Opened());
        EXPECT_EQ(L"comctl32.dll", WindowProcModule(GetDlgItem(sheet.Sheet(), IDOK)));
        EXPECT_EQ(L"comctl32.dll", WindowProcModule(GetDlgItem(sheet.Sheet(), IDCANCEL)));
        sheet.Press(PSBTN_CANCEL);
        EXPECT_TRUE(sheet.WaitClosed());
    }
    EXPECT_EQ(before, after) << "the module's context must not stay active after the command";
    if (before)
        ReleaseActCtx(before);
    if (after && after != INVALID_HANDLE_VALUE)
        ReleaseActCtx(after);
    DeleteTree(HKEY_CURRENT_USER, L"SOFTWARE\\Zeph\\Morvane");
}

}
