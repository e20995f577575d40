// shellhost: plays Explorer's side of a right-click on files. For the files named on the command
// line it creates every context-menu handler registered for them, hands each the shell's data
// object, asks it for its menu and prints the menu as a tree; on request it prints the help texts
// and runs one command.
#include "HandlerList.h"
#include "HandlerRun.h"
#include "HostOptions.h"
#include "MenuCapture.h"
#include "ModernMenu.h"
#include "Output.h"
#include "Selection.h"
#include "SheetCapture.h"

namespace {

enum ExitCode {
    kExitDone = 0,
    kExitHandlerFailed = 1,
    kExitUsage = 2,
    kExitSelection = 3,
    kExitNoHandler = 4,
    kExitPicture = 5,
};

class COleInit {
public:
    COleInit() : m_hr(::OleInitialize(nullptr)) {}
    ~COleInit() { if (SUCCEEDED(m_hr)) ::OleUninitialize(); }
    COleInit(const COleInit&) = delete;
    COleInit& operator=(const COleInit&) = delete;
    HRESULT Result() const { return m_hr; }

private:
    HRESULT m_hr;
};

// The owner window of whatever a command shows: hidden, like the parent Explorer passes. Without
// a display there is none, and the console window (or nothing) stands in.
class COwnerWindow {
public:
    COwnerWindow()
        : m_hwnd(::CreateWindowExW(0, L"STATIC", L"Morvane shell host", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT,
                                   400, 300, nullptr, nullptr, ::GetModuleHandleW(nullptr), nullptr))
    {
    }
    ~COwnerWindow() { if (m_hwnd) ::DestroyWindow(m_hwnd); }
    COwnerWindow(const COwnerWindow&) = delete;
    COwnerWindow& operator=(const COwnerWindow&) = delete;
    HWND Get() const { return m_hwnd ? m_hwnd : ::GetConsoleWindow(); }

private:
    HWND m_hwnd;
};

void PrintSelection(const CSelection& selection, COutput& out)
{
    out.Line(0, L"folder %s", selection.Folder().GetString());
    for (const CString& name : selection.Names())
        out.Line(0, L"file %s", name.GetString());
    if (selection.Extension().IsEmpty())
        out.Line(0, L"type (no extension)");
    else if (selection.TypeClass().IsEmpty())
        out.Line(0, L"type %s (no class)", selection.Extension().GetString());
    else
        out.Line(0, L"type %s %s", selection.Extension().GetString(), selection.TypeClass().GetString());
}

// The handler that gets the command: the one named by --handler, else the first whose menu shows it.
CHandlerRun* InvokeTarget(CArray<CHandlerRun>& runs, const CHostOptions& options)
{
    if (!options.m_handler.IsEmpty())
        return runs.IsEmpty() ? nullptr : &runs[0];
    for (CHandlerRun& run : runs)
        if (run.HasOffset(options.m_invokeOffset))
            return &run;
    return nullptr;
}

// Pops up the menu of the first handler that built one, a little way into the screen.
bool TakeMenuPicture(CArray<CHandlerRun>& runs, HWND owner, const CHostOptions& options, COutput& out)
{
    for (CHandlerRun& run : runs)
        if (run.Menu()) {
            POINT at = { 24, 24 };
            return CMenuCapture(options.m_menuScreenshot, out).Take(run.Menu(), owner, at);
        }
    out.Line(0, L"menu screenshot: no menu was built");
    return false;
}

bool Invoke(CHandlerRun& target, HWND owner, const CSelection& selection, const CHostOptions& options, COutput& out,
            bool& pictured)
{
    if (options.m_screenshot.IsEmpty())
        return target.Invoke(options.m_invokeOffset, owner, selection, out);
    CSheetCapture capture(options.m_screenshot, out);
    if (!capture.Arm()) {
        // Without the timer nothing would close the sheet.
        out.Line(0, L"screenshot: no timer, the command is not invoked");
        pictured = false;
        return true;
    }
    bool invoked = target.Invoke(options.m_invokeOffset, owner, selection, out);
    pictured = capture.Succeeded();
    if (!capture.SawSheet())
        out.Line(0, L"screenshot: the command opened no sheet");
    return invoked;
}

// The Windows 11 menu instead of the classic handlers: printed, and one command run on request.
int RunModern(const CSelection& selection, const CHostOptions& options, COutput& out)
{
    CModernMenu menu(out);
    if (!menu.Create())
        return kExitNoHandler;
    int result = menu.Print(selection) ? kExitDone : kExitHandlerFailed;
    if (options.m_invoke) {
        COwnerWindow owner;
        if (!menu.Invoke(selection, options.m_invokePath, owner.Get()))
            return kExitNoHandler;
    }
    return result;
}

int RunHost(const CHostOptions& options)
{
    COleInit ole;
    if (FAILED(ole.Result())) {
        PrintError(L"OleInitialize failed 0x%08lX", ole.Result());
        return kExitHandlerFailed;
    }
    CSelection selection;
    if (!selection.Build(options.m_files)) {
        PrintError(L"%s", selection.Error().GetString());
        return kExitSelection;
    }
    COutput out;
    PrintSelection(selection, out);
    if (options.m_modern)
        return RunModern(selection, options, out);

    CHandlerList handlers;
    handlers.Load(selection.TypeClass());
    handlers.Filter(options.m_handler);
    if (handlers.Entries().IsEmpty()) {
        if (options.m_handler.IsEmpty())
            out.Line(0, L"no context-menu handler registered");
        else
            out.Line(0, L"no handler %s registered", options.m_handler.GetString());
        return kExitNoHandler;
    }

    int result = kExitDone;
    CArray<CHandlerRun> runs;
    if (!runs.SetSize(handlers.Entries().GetSize()))
        return kExitHandlerFailed;
    for (int i = 0; i < runs.GetSize(); ++i)
        if (!runs[i].Run(handlers.Entries()[i], selection, options, out))
            result = kExitHandlerFailed;

    COwnerWindow owner;
    bool pictured = true;
    if (!options.m_menuScreenshot.IsEmpty() && !TakeMenuPicture(runs, owner.Get(), options, out))
        pictured = false;
    if (options.m_invoke) {
        CHandlerRun* target = InvokeTarget(runs, options);
        if (!target) {
            out.Line(0, L"invoke %u: no menu holds that offset", options.m_invokeOffset);
            return kExitNoHandler;
        }
        bool sheetPictured = true;
        if (!Invoke(*target, owner.Get(), selection, options, out, sheetPictured))
            result = kExitHandlerFailed;
        pictured = pictured && sheetPictured;
    }
    return result == kExitDone && !pictured ? kExitPicture : result;
}

}

int wmain(int argc, wchar_t** argv)
{
    CHostOptions options;
    if (!options.Parse(argc, argv)) {
        PrintError(L"shellhost: %s", options.Error().GetString());
        CHostOptions::PrintUsage();
        return kExitUsage;
    }
    if (options.ShowUsage()) {
        CHostOptions::PrintUsage();
        return kExitDone;
    }
    return RunHost(options);
}
