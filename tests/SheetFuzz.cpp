// Random user sessions on the real file-information sheet: opened on each of its six pages for random
// selections of odd files, then tab switches, texts set and typed into every edit, clicks on every
// button and box, list selections, column clicks, Register, Apply, OK, Cancel and close, with every
// message box answered. After each session every selected file exists under exactly one name, the
// settings are well formed, and the process's GDI and USER objects do not grow across sessions. The
// seed is fixed: a failure names the session and the action, and rerunning replays them. The count
// of sessions is sized for CI; "--sessions=N" on the command line runs N.
#include <gtest/gtest.h>
#include "FuzzGuard.h"
#include "PrivateUserKey.h"
#include "InfoSheet.h"
#include "ProgramStarter.h"
#include "Settings.h"
#include "SheetDriver.h"
#include "StaticLink.h"
#include "TestSupport.h"
#include "TypePageRes.h"
#include <commctrl.h>
#include <dlgs.h>
#include <cstring>
#include <memory>
#include <random>
#include <set>

namespace {

// The fuzz writes the user's settings under a key of its own, so other programs run beside it.
testing::Environment* const g_privateUser = testing::AddGlobalTestEnvironment(new CPrivateUserKey(L"sheetfuzz"));

const int kSessions = 24;
const int kMinActions = 10;
const int kMaxActions = 40;
const int kSessionsPerFileSet = 12;
const DWORD kWatchdogMs = 60000;
// Objects a session may leave behind for good: caches the system fills once, not per session.
const DWORD kGuiObjectSlack = 24;

const wchar_t kFuzzExt[] = L".mvfz";
const wchar_t kFuzzProgId[] = L"Morvane.Fuzz";
const wchar_t kFuzzTypeName[] = L"Morvane Fuzz Type";
const wchar_t kAllowedInQuickExt[] = L"\\/:*?<>|.;";

const InfoPage kPages[] = { InfoPage::Type, InfoPage::Attributes, InfoPage::Shortcut,
                            InfoPage::Summary, InfoPage::Options, InfoPage::About };

HINSTANCE WINAPI NoLink(HWND, LPCWSTR, LPCWSTR, LPCWSTR, LPCWSTR, INT)
{
    return reinterpret_cast<HINSTANCE>(33);
}
void NoProgram(const ProgramLaunch&) {}

// The files sessions select from: each kind the sheet treats apart, remade now and then.
class FileSet {
public:
    FileSet()
    {
        m_dir.MakeFile(L"plain.txt", "plain");
        m_dir.MakeFile(L"notes", "notes");
        CreateCompoundDocument(m_dir / L"report.doc", { "Title", "Subject", "Author", "Keywords", "Comments" });
        CreateShortcut(m_dir / L"target.lnk", m_dir / L"plain.txt", L"/a", m_dir.Path(), L"a shortcut");
        SetFileAttributesW(m_dir.MakeFile(L"read only.md", "r").c_str(), FILE_ATTRIBUTE_READONLY);
        SetFileAttributesW(m_dir.MakeFile(L"hidden.cfg", "h").c_str(), FILE_ATTRIBUTE_HIDDEN);
        m_dir.MakeFile(L"a.b.c.txt", "dots");
        m_dir.MakeFile(L".leading", "leading dot");
        m_dir.MakeFile(std::wstring(150, L'n') + L".long", "long");
        m_dir.MakeFile(L"\x65e5\x672c\x8a9e \x0444\x0430\x0439\x043b.\x00e9t\x00e9", "non-Latin");
        m_count = Names().size();
    }
    // The files as they are named now.
    std::vector<std::wstring> Names() const
    {
        std::vector<std::wstring> names;
        WIN32_FIND_DATAW found = {};
        HANDLE search = FindFirstFileW((L"\\\\?\\" + (m_dir / L"*")).c_str(), &found);
        for (BOOL more = search != INVALID_HANDLE_VALUE; more; more = FindNextFileW(search, &found))
            if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                names.push_back(found.cFileName);
        if (search != INVALID_HANDLE_VALUE)
            FindClose(search);
        return names;
    }
    std::wstring operator/(const std::wstring& name) const { return m_dir / name; }
    size_t Count() const { return m_count; }

private:
    CTempDir m_dir{ L"sheet fuzz" };
    size_t m_count = 0;
};

// The controls of a window of the classes that take input, the combo box's own edit among them.
std::vector<HWND> ChildrenOfClass(HWND parent, const wchar_t* className)
{
    struct Search {
        const wchar_t* className;
        std::vector<HWND> found;
    } search = { className, {} };
    EnumChildWindows(parent, [](HWND child, LPARAM param) {
        auto* s = reinterpret_cast<Search*>(param);
        wchar_t name[32] = {};
        GetClassNameW(child, name, ARRAYSIZE(name));
        if (!lstrcmpiW(name, s->className) && IsWindowEnabled(child))
            s->found.push_back(child);
        return TRUE;
    }, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

LRESULT SendTimed(HWND window, UINT message, WPARAM wParam = 0, LPARAM lParam = 0)
{
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutW(window, message, wParam, lParam, SMTO_NORMAL, 10000, &result))
        ADD_FAILURE() << "no answer to message " << std::hex << message;
    return LRESULT(result);
}

// The settings as the pages write them: the sixteen option bits, at most ten quick extensions of
// allowed characters, three column widths.
std::string SettingsProblem()
{
    DWORD options = 0, size = sizeof(options);
    if (RegGetValueW(HKEY_CURRENT_USER, kSettingsKey, kValueOptions, RRF_RT_REG_DWORD, nullptr, &options, &size)
            == ERROR_SUCCESS
        && (options & ~kMeaningfulOptions))
        return "Options holds bits no box stands for";
    std::wstring quick;
    if (ReadString(HKEY_CURRENT_USER, kSettingsKey, kValueQuickExts, quick) && !quick.empty()) {
        size_t entries = 1;
        for (wchar_t c : quick)
            entries += c == L';';
        if (entries > 10)
            return "QuickExts holds more than ten entries";
        for (size_t start = 0; start <= quick.size();) {
            size_t end = quick.find(L';', start);
            std::wstring entry = quick.substr(start, end == std::wstring::npos ? std::wstring::npos : end - start);
            if (entry.empty())
                return "QuickExts holds an empty entry";
            if (entry.find_first_of(kAllowedInQuickExt) != std::wstring::npos)
                return "QuickExts holds a character no extension may have";
            if (end == std::wstring::npos)
                break;
            start = end + 1;
        }
    }
    std::wstring widths;
    if (ReadString(HKEY_CURRENT_USER, kSettingsKey, kValueWidths, widths)) {
        int a = 0, b = 0, c = 0;
        if (swscanf(widths.c_str(), L"%d,%d,%d", &a, &b, &c) != 3)
            return "Widths is not three numbers";
    }
    return "";
}

int SessionsAsked()
{
    const wchar_t* option = wcsstr(GetCommandLineW(), L"--sessions=");
    int asked = option ? _wtoi(option + 11) : 0;
    return asked > 0 ? asked : kSessions;
}

// The process's GDI and USER objects, and its windows: Wine answers GetGuiResources with 0 (not
// implemented), so there the windows are what is counted.
DWORD GuiObjects()
{
    DWORD objects = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS) + GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS);
    EnumWindows([](HWND window, LPARAM param) {
        DWORD process = 0;
        GetWindowThreadProcessId(window, &process);
        if (process == GetCurrentProcessId()) {
            auto* count = reinterpret_cast<DWORD*>(param);
            ++*count;
            EnumChildWindows(window, [](HWND, LPARAM inner) { ++*reinterpret_cast<DWORD*>(inner); return TRUE; }, param);
        }
        return TRUE;
    }, reinterpret_cast<LPARAM>(&objects));
    return objects;
}

class Session {
public:
    Session(std::mt19937& random, const FileSet& files, int number) : m_random(random), m_files(files), m_number(number) {}

    void Run()
    {
        std::vector<std::wstring> names = m_files.Names();
        std::vector<std::wstring> paths;
        int count = Chance(60) ? 1 : 2 + Pick(int(names.size()) - 1);
        std::set<size_t> chosen;
        while (int(chosen.size()) < count)
            chosen.insert(size_t(Pick(int(names.size()))));
        for (size_t i : chosen)
            paths.push_back(m_files / names[i]);
        Parameters parameters;
        parameters.GetFileList(ShellDataObject(paths));
        // The session's actions go to one sheet after another: a closed sheet is opened again
        // from the same handler, on the next command's page, as a user would.
        int page = m_number % int(ARRAYSIZE(kPages));
        int actions = kMinActions + Pick(kMaxActions - kMinActions + 1);
        for (int done = 0; done < actions && !testing::Test::HasFailure(); page = (page + 1) % int(ARRAYSIZE(kPages))) {
            CFuzzGuard::At(m_number, done, "open");
            InfoPage start = kPages[page];
            CSheetDriver sheet([&parameters, start] { ShowInfoSheet(parameters, start, nullptr); });
            ASSERT_TRUE(sheet.Opened()) << "session " << m_number;
            sheet.OnDialog([this](HWND dialog, const SeenDialog& seen) { return Answer(dialog, seen); });
            m_setFromHere.clear();
            for (; done < actions && !sheet.WaitClosed(0) && !testing::Test::HasFailure(); ++done)
                Act(sheet, done + 1);
            if (!sheet.WaitClosed(0)) {
                CFuzzGuard::At(m_number, done, "end");
                sheet.Press(Chance(50) ? PSBTN_CANCEL : PSBTN_OK);
                if (!sheet.WaitClosed(2000))
                    sheet.Press(PSBTN_CANCEL);  // OK may be refused and leave the page open
            }
            EXPECT_TRUE(sheet.WaitClosed(10000)) << "the sheet of session " << m_number << " did not close";
            m_dialogs += sheet.Seen().size();
            m_opened++;
        }
        m_actions = actions;
        // The handler's records follow the renames: each names one file, and no file came or went.
        std::set<std::wstring> recorded;
        CFileList* list = parameters.GetFileList();
        for (int i = 0; list && i < list->GetSize(); ++i) {
            const CString& path = list->ElementAt(i).m_path;
            EXPECT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesW((L"\\\\?\\" + std::wstring(path.GetString())).c_str()))
                << "session " << m_number << ", record " << i;
            recorded.insert(path.GetString());
        }
        EXPECT_EQ(paths.size(), recorded.size()) << "session " << m_number;
        EXPECT_EQ(m_files.Count(), m_files.Names().size()) << "session " << m_number << ": a file was lost or duplicated";
        EXPECT_EQ("", SettingsProblem()) << "session " << m_number;
    }
    int Actions() const { return m_actions; }
    int Opened() const { return m_opened; }
    size_t Dialogs() const { return m_dialogs; }

private:
    int Pick(int count) { return count <= 0 ? 0 : int(m_random() % unsigned(count)); }
    bool Chance(int percent) { return Pick(100) < percent; }

    std::wstring Text()
    {
        static const wchar_t* const kInvalid[] = { L"a\\b", L"x/y", L":", L"*", L"?", L"\"q\"", L"<b>", L"a|b", L";", L"a;b",
                                                   L"\t\r\n", L"..\\..\\up" };
        static const wchar_t* const kOdd[] = { L"\xd800", L"a\xdc00", L"\xdbff\xdbff" L"z", L"\xd83d\xde00",
                                               L"\x00e9t\x00e9", L"\x65e5\x672c", L"\x202e" L"txt" };
        static const wchar_t* const kPlain[] = { L"txt", L"doc", L"mvfz", L"MD", L"lnk", L"*", L"C:\\", L"notepad.exe" };
        switch (Pick(8)) {
        case 0: return L"";
        case 1: return std::wstring(10000, wchar_t(L'a' + Pick(26)));
        case 2: return std::wstring(size_t(1 + Pick(Chance(20) ? 10000 : 40)), L'.') + (Chance(50) ? L"mvfz" : L"");
        case 3: return kInvalid[Pick(ARRAYSIZE(kInvalid))];
        case 4: return kOdd[Pick(ARRAYSIZE(kOdd))];
        case 5: return std::wstring(size_t(Pick(4)), L' ') + kPlain[Pick(ARRAYSIZE(kPlain))] + std::wstring(size_t(Pick(4)), L'\t');
        case 6: return kPlain[Pick(ARRAYSIZE(kPlain))];
        default: {
            std::wstring text;
            for (int i = Pick(40); i > 0; --i)
                text += wchar_t(0x20 + Pick(0x60));
            return text;
        }
        }
    }

    // The file-open dialog gets a file that exists or a Cancel; message boxes any of their buttons.
    int Answer(HWND dialog, const SeenDialog&)
    {
        if (GetDlgItem(dialog, cmb13) || GetDlgItem(dialog, edt1)) {
            if (Chance(50))
                return IDCANCEL;
            std::wstring chosen = m_files / m_files.Names()[0];
            SetDlgItemTextW(dialog, GetDlgItem(dialog, cmb13) ? cmb13 : edt1, chosen.c_str());
            return IDOK;
        }
        static const int kButtons[] = { IDOK, IDCANCEL, IDYES, IDNO };
        return kButtons[Pick(ARRAYSIZE(kButtons))];
    }

    static std::wstring WindowText(HWND window)
    {
        std::wstring text(size_t(SendTimed(window, WM_GETTEXTLENGTH)) + 1, L'\0');
        text.resize(size_t(SendTimed(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(&text[0]))));
        return text;
    }

    HWND AnyOf(const std::vector<HWND>& windows) { return windows.empty() ? nullptr : windows[size_t(Pick(int(windows.size())))]; }

    void Act(CSheetDriver& sheet, int step)
    {
        HWND page = sheet.Page();
        if (!page)
            return;
        switch (Pick(20)) {
        case 0: case 1:
            CFuzzGuard::At(m_number, step, "tab");
            sheet.SelectTab(Pick(int(sheet.Tabs().size())));
            break;
        case 2: case 3: case 4: {
            CFuzzGuard::At(m_number, step, "set text");
            if (HWND edit = AnyOf(ChildrenOfClass(page, L"Edit"))) {
                std::wstring text = Text();
                m_setFromHere.insert(edit);
                SendTimed(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
                sheet.Sync();
            }
            break;
        }
        case 5: case 6: {
            CFuzzGuard::At(m_number, step, "type");
            if (HWND edit = AnyOf(ChildrenOfClass(page, L"Edit"))) {
                std::wstring text = Text();
                if (m_setFromHere.count(edit)) {
                    // Wine's edit control faults on typing after its text was set from another
                    // thread wider than the box, without any page of ours: such an edit gets its
                    // typed text set whole as well.
                    text = WindowText(edit) + text;
                    SendTimed(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
                } else if (text.size() > 40 || Chance(30)) {
                    // A paste: the selection replaced as a whole, within the edit's limit.
                    SendTimed(edit, EM_SETSEL, WPARAM(Pick(3)), LPARAM(-1));
                    SendTimed(edit, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(text.c_str()));
                } else {
                    for (wchar_t c : text)
                        PostMessageW(edit, WM_CHAR, c, 1);
                    if (Chance(20))
                        PostMessageW(edit, WM_CHAR, VK_BACK, 1);
                }
                sheet.Sync();
            }
            break;
        }
        case 7: case 8: case 9: {
            CFuzzGuard::At(m_number, step, "click");
            if (HWND button = AnyOf(ChildrenOfClass(page, L"Button"))) {
                PostMessageW(button, BM_CLICK, 0, 0);
                sheet.Sync();
            }
            break;
        }
        case 10: case 11: {
            CFuzzGuard::At(m_number, step, "list selection");
            if (HWND list = AnyOf(ChildrenOfClass(page, L"SysListView32"))) {
                int items = int(SendTimed(list, LVM_GETITEMCOUNT));
                LVITEMW state = {};
                state.stateMask = state.state = LVIS_SELECTED | LVIS_FOCUSED;
                SendTimed(list, LVM_SETITEMSTATE, WPARAM(Pick(items + 1) - 1), reinterpret_cast<LPARAM>(&state));
            } else if (HWND combo = AnyOf(ChildrenOfClass(page, L"ComboBox"))) {
                int entries = int(SendTimed(combo, CB_GETCOUNT));
                SendTimed(combo, CB_SETCURSEL, WPARAM(Pick(entries + 1) - 1));
                PostMessageW(page, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(combo), CBN_SELCHANGE), reinterpret_cast<LPARAM>(combo));
            }
            sheet.Sync();
            break;
        }
        case 12: {
            CFuzzGuard::At(m_number, step, "column click");
            if (HWND list = AnyOf(ChildrenOfClass(page, L"SysListView32"))) {
                HWND header = reinterpret_cast<HWND>(SendTimed(list, LVM_GETHEADER));
                RECT bounds = {};
                SendTimed(header, HDM_GETITEMRECT, WPARAM(Pick(2)), reinterpret_cast<LPARAM>(&bounds));
                LPARAM point = MAKELPARAM((bounds.left + bounds.right) / 2, (bounds.top + bounds.bottom) / 2);
                PostMessageW(header, WM_LBUTTONDOWN, MK_LBUTTON, point);
                PostMessageW(header, WM_LBUTTONUP, 0, point);
                sheet.Sync();
            }
            break;
        }
        case 13:
            CFuzzGuard::At(m_number, step, "register");
            Register(sheet, page);
            break;
        case 14: case 15:
            CFuzzGuard::At(m_number, step, "apply");
            sheet.Press(PSBTN_APPLYNOW);
            break;
        case 16:
            CFuzzGuard::At(m_number, step, "ok");
            sheet.Press(PSBTN_OK);
            break;
        case 17:
            CFuzzGuard::At(m_number, step, "cancel");
            sheet.Press(PSBTN_CANCEL);
            break;
        case 18:
            CFuzzGuard::At(m_number, step, "close");
            PostMessageW(sheet.Sheet(), WM_SYSCOMMAND, SC_CLOSE, 0);
            sheet.Sync();
            break;
        default: {
            CFuzzGuard::At(m_number, step, "focus");
            if (HWND control = AnyOf(ChildrenOfClass(page, Chance(50) ? L"Edit" : L"ComboBox"))) {
                PostMessageW(page, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(control), TRUE);
                sheet.Sync();
            }
            break;
        }
        }
    }

    // Register on the Types menu, for the fuzz's own type only: the prefix's other types stay as
    // they are.
    void Register(CSheetDriver& sheet, HWND page)
    {
        HWND list = GetDlgItem(page, IDC_TYPE_LIST);
        if (!list)
            return;
        LVFINDINFOW find = {};
        find.flags = LVFI_STRING;
        find.psz = kFuzzTypeName;
        int item = int(SendTimed(list, LVM_FINDITEMW, WPARAM(-1), reinterpret_cast<LPARAM>(&find)));
        if (item < 0)
            return;
        LVITEMW state = {};
        state.stateMask = state.state = LVIS_SELECTED | LVIS_FOCUSED;
        SendTimed(list, LVM_SETITEMSTATE, WPARAM(item), reinterpret_cast<LPARAM>(&state));
        PostMessageW(page, WM_COMMAND, MAKEWPARAM(ID_TYPE_REGISTER, 0), 0);
        sheet.Sync();
    }

    std::mt19937& m_random;
    const FileSet& m_files;
    std::set<HWND> m_setFromHere;  // edits whose text this thread set
    int m_number;
    int m_actions = 0;
    int m_opened = 0;
    size_t m_dialogs = 0;
};

class SheetFuzz : public testing::Test {
protected:
    void SetUp() override
    {
        DeleteTree(HKEY_CURRENT_USER, kSettingsKey);
        RegisterFileType(kFuzzExt, kFuzzProgId, kFuzzTypeName, false);
        m_previousLink = SetLinkOpener(&NoLink);
        m_previousStarter = SetProgramStarter(&NoProgram);
    }
    void TearDown() override
    {
        SetLinkOpener(m_previousLink);
        SetProgramStarter(m_previousStarter);
        DeleteTree(HKEY_CLASSES_ROOT, kFuzzExt);
        DeleteTree(HKEY_CLASSES_ROOT, kFuzzProgId);
        DeleteTree(HKEY_CURRENT_USER, kSettingsKey);
    }

    LinkOpener m_previousLink = nullptr;
    ProgramStarter m_previousStarter = nullptr;
};

TEST_F(SheetFuzz, RandomSessionsKeepEveryFileAndLeakNothing)
{
    CFuzzGuard guard(kWatchdogMs);
    WriteString(HKEY_CURRENT_USER, kSettingsKey, kValueQuickExts, L"txt;doc;bak");
    std::mt19937 random(20261209);
    std::unique_ptr<FileSet> files;
    long actions = 0, sheets = 0;
    size_t dialogs = 0;
    DWORD baseline = 0;
    bool measured = false;  // under Wine, whose object counts read 0, the baseline may be 0 too
    const int sessions = SessionsAsked();
    for (int number = 0; number < sessions && !HasFailure(); ++number) {
        if (number % kSessionsPerFileSet == 0) {
            files.reset();
            files.reset(new FileSet);
        }
        Session session(random, *files, number);
        session.Run();
        actions += session.Actions();
        sheets += session.Opened();
        dialogs += session.Dialogs();
        // Measured once every page has been opened: what the first sessions create once stays.
        if (number + 1 == int(ARRAYSIZE(kPages)) * 2) {
            baseline = GuiObjects();
            measured = true;
        }
    }
    DWORD objects = GuiObjects();
    if (measured) {
        EXPECT_LE(objects, baseline + kGuiObjectSlack) << "GDI and USER objects grew across sessions";
    }
    printf("sheet fuzz: %d sessions, %ld actions on %ld sheets, %zu dialogs answered, GDI+USER objects %lu after the first %d "
           "sessions, %lu at the end\n",
           sessions, actions, sheets, dialogs, baseline, int(ARRAYSIZE(kPages)) * 2, objects);
}

// The longest text each edit takes from typing or a paste, of letters and of dots, then OK: the
// sheet settles and closes, whatever the page makes of the text.
TEST_F(SheetFuzz, TheLongestTextEachEditTakesSettles)
{
    CFuzzGuard guard(kWatchdogMs);
    for (InfoPage page : kPages) {
        for (wchar_t fill : { L'a', L'.' }) {
            FileSet files;  // the Type page may rename
            CFuzzGuard::At(int(page), fill, "longest text");
            bool link = page == InfoPage::Shortcut, summary = page == InfoPage::Summary;
            std::wstring name = link ? L"target.lnk" : summary ? L"report.doc" : L"plain.txt";
            Parameters parameters;
            parameters.GetFileList(ShellDataObject({ files / name }));
            CSheetDriver sheet([&parameters, page] { ShowInfoSheet(parameters, page, nullptr); });
            ASSERT_TRUE(sheet.Opened());
            HWND current = sheet.Page();
            for (HWND edit : ChildrenOfClass(current, L"Edit")) {
                if (GetWindowLongW(edit, GWL_STYLE) & ES_READONLY)
                    continue;
                // Typing stops at the limit; a limit left at its largest is tried at 64K.
                size_t limit = size_t(SendTimed(edit, EM_GETLIMITTEXT));
                limit = limit < 1 ? 1 : limit > 65536 ? 65536 : limit;
                std::wstring text(limit, fill);
                text.back() = L'a';
                SendTimed(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L""));
                SendTimed(edit, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(text.c_str()));
                sheet.Sync();
            }
            sheet.Press(PSBTN_OK);
            if (!sheet.WaitClosed(2000))
                sheet.Press(PSBTN_CANCEL);  // a refused text keeps the page open
            EXPECT_TRUE(sheet.WaitClosed(10000)) << int(page);
            EXPECT_EQ(files.Count(), files.Names().size());
        }
    }
}

}  // namespace
