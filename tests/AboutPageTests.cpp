// The About page of the real sheet: its texts, the links' drawing and clicks, the link cursor.
#include <gtest/gtest.h>
#include "AboutPageRes.h"
#include "Holders.h"
#include "InfoSheet.h"
#include "Settings.h"
#include "SheetDriver.h"
#include "StaticLink.h"
#include "TestSupport.h"
#include <mutex>

namespace {

// What the links asked the shell to open, and what the shell answers.
struct OpenCall {
    HWND owner;
    std::wstring verb, file;
    bool noParameters, noDirectory;
    INT show;
};
std::mutex g_lock;
std::vector<OpenCall> g_opened;
INT_PTR g_openResult = 42;

HINSTANCE WINAPI RecordOpen(HWND owner, LPCWSTR verb, LPCWSTR file, LPCWSTR parameters, LPCWSTR directory, INT show)
{
    std::lock_guard<std::mutex> guard(g_lock);
    g_opened.push_back({ owner, verb ? verb : L"(null)", file ? file : L"(null)", !parameters, !directory, show });
    return reinterpret_cast<HINSTANCE>(g_openResult);
}

// How the page's parent-side colour request answers for one control.
struct LinkLook {
    HBRUSH brush;
    COLORREF color;
    int backgroundMode;
    bool underlined;
};

class AboutPage : public testing::Test {
protected:
    void SetUp() override
    {
        file = dir.MakeFile(L"notes.txt");
        parameters.GetFileList(ShellDataObject({ file }));
        previous = SetLinkOpener(&RecordOpen);
        g_opened.clear();
        sheet = std::make_unique<CSheetDriver>(InfoSheetAt(parameters, InfoPage::About));
        ASSERT_TRUE(sheet->Opened());
        ASSERT_EQ(L"About", sheet->Tabs().at(sheet->CurrentTab()));
    }
    void TearDown() override
    {
        sheet.reset();
        SetLinkOpener(previous);
        g_openResult = 42;
    }

    LinkLook Look(int id)
    {
        CDcHolder dc;
        SetTextColor(dc.Get(), RGB(1, 2, 3));
        SetBkMode(dc.Get(), OPAQUE);
        DWORD_PTR brush = 0;
        SendMessageTimeoutW(sheet->Page(), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc.Get()),
                            reinterpret_cast<LPARAM>(sheet->Item(id)), SMTO_ABORTIFHUNG, 5000, &brush);
        LOGFONTW font = {};
        GetObjectW(GetCurrentObject(dc.Get(), OBJ_FONT), sizeof(font), &font);
        return { reinterpret_cast<HBRUSH>(brush), GetTextColor(dc.Get()), GetBkMode(dc.Get()), font.lfUnderline != 0 };
    }

    void ClickOn(int id)
    {
        sheet->Send(id, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
        sheet->Send(id, WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
        sheet->Sync();
    }

    std::vector<OpenCall> Opened()
    {
        std::lock_guard<std::mutex> guard(g_lock);
        return g_opened;
    }

    struct CDcHolder {
        CDcHolder() : dc(CreateCompatibleDC(nullptr)) {}
        ~CDcHolder() { DeleteDC(dc); }
        HDC Get() const { return dc; }
        HDC dc;
    };

    CTempDir dir{ L"about page" };
    std::wstring file;
    Parameters parameters;
    LinkOpener previous = nullptr;
    std::unique_ptr<CSheetDriver> sheet;
};

TEST_F(AboutPage, ShowsTheVersionedBoldTitleAndTheNotice)
{
    EXPECT_EQ(L"Morvane - Version 1.93", sheet->Text(IDC_ABOUT_TITLE));
    EXPECT_EQ(L"\r\n\r\nTo uninstall Morvane use the Add/Remove Programs applet in Control Panel.",
              sheet->Text(IDC_ABOUT_NOTICE));
    EXPECT_EQ(L"Thank you for trying Zeph products", sheet->Text(IDC_ABOUT_THANKS));
    LOGFONTW page = {}, title = {};
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(sheet->Page(), WM_GETFONT, 0, 0)), sizeof(page), &page);
    GetObjectW(reinterpret_cast<HFONT>(sheet->Send(IDC_ABOUT_TITLE, WM_GETFONT)), sizeof(title), &title);
    EXPECT_EQ(std::wstring(page.lfFaceName), title.lfFaceName);
    EXPECT_EQ(page.lfHeight, title.lfHeight);
    EXPECT_EQ(2 * (page.lfWeight ? page.lfWeight : FW_NORMAL), title.lfWeight);
}

struct LinkCase {
    const char* name;
    int id;
    const wchar_t* caption;
    const wchar_t* target;
};

const LinkCase kLinks[] = {
    { "Mail", IDC_ABOUT_MAIL, L"support@zeph.example", L"mailto:support@zeph.example?Subject=Morvane 1.93" },
    { "Site", IDC_ABOUT_SITE, L"https://zeph.example/", L"https://zeph.example/" },
    { "Product", IDC_ABOUT_PRODUCTPAGE, L"https://zeph.example/morvane/", L"https://zeph.example/morvane/" },
};

class AboutLink : public AboutPage, public testing::WithParamInterface<LinkCase> {};

TEST_P(AboutLink, IsDrawnAsALinkAndTurnsPurpleOnceOpened)
{
    const LinkCase& link = GetParam();
    EXPECT_EQ(link.caption, sheet->Text(link.id));
    LinkLook before = Look(link.id);
    EXPECT_EQ(GetStockObject(NULL_BRUSH), before.brush);
    EXPECT_EQ(RGB(0, 0, 255), before.color);
    EXPECT_EQ(TRANSPARENT, before.backgroundMode);
    EXPECT_TRUE(before.underlined);

    ClickOn(link.id);
    ClickOn(link.id);
    std::vector<OpenCall> calls = Opened();
    ASSERT_EQ(2u, calls.size()) << "every click opens the target again";
    EXPECT_EQ(nullptr, calls[0].owner);
    EXPECT_EQ(L"open", calls[0].verb);
    EXPECT_EQ(link.target, calls[0].file);
    EXPECT_TRUE(calls[0].noParameters && calls[0].noDirectory);
    EXPECT_EQ(SW_SHOWNORMAL, calls[0].show);
    EXPECT_EQ(RGB(128, 0, 128), Look(link.id).color);
}

INSTANTIATE_TEST_SUITE_P(Links, AboutLink, testing::ValuesIn(kLinks),
                         [](const testing::TestParamInfo<LinkCase>& info) { return info.param.name; });

TEST_F(AboutPage, LinkTheShellCannotOpenStaysBlue)
{
    g_openResult = SE_ERR_NOASSOC;
    Look(IDC_ABOUT_MAIL);
    ClickOn(IDC_ABOUT_MAIL);
    ASSERT_EQ(1u, Opened().size());
    EXPECT_EQ(RGB(0, 0, 255), Look(IDC_ABOUT_MAIL).color);
    g_openResult = 42;
    ClickOn(IDC_ABOUT_MAIL);
    EXPECT_EQ(RGB(128, 0, 128), Look(IDC_ABOUT_MAIL).color);
}

TEST_F(AboutPage, ShowsThePointingHandOverALinkOnly)
{
    HCURSOR hand = LoadCursorW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDC_ABOUT_LINKCURSOR));
    HWND link = sheet->Item(IDC_ABOUT_SITE);
    RECT area = {};
    GetWindowRect(link, &area);
    struct Point {
        HWND window;
        POINT at;
        HCURSOR expected;
    } points[] = {
        { link, { (area.left + area.right) / 2, (area.top + area.bottom) / 2 }, hand },
        { sheet->Page(), { area.left + 2, area.bottom + 30 }, LoadCursorW(nullptr, IDC_ARROW) },
    };
    for (const Point& point : points) {
        // The display's one pointer is shared by every program on it, and Wine may refuse a move
        // while another holds it: move it again until the page shows the cursor expected there.
        // The cursor is judged as read right after the page set it: under Wine it belongs to the
        // whole display, and a window of another program may set its own a moment later.
        HCURSOR seen = nullptr;
        WaitUntil(5000, [&] {
            SetCursorPos(point.at.x, point.at.y);
            DWORD_PTR handled = 0;
            SendMessageTimeoutW(point.window, WM_SETCURSOR, reinterpret_cast<WPARAM>(point.window),
                                MAKELPARAM(HTCLIENT, WM_MOUSEMOVE), SMTO_ABORTIFHUNG, 5000, &handled);
            CURSORINFO info = { sizeof(info) };
            seen = GetCursorInfo(&info) ? info.hCursor : nullptr;
            return seen == point.expected;
        });
        EXPECT_EQ(point.expected, seen) << point.at.x << "," << point.at.y;
    }
}

}
