#include "DialogWatcher.h"
#include <commctrl.h>
#include <gtest/gtest.h>

namespace {

// One watcher a thread: each answers the dialogs of the thread that created it.
thread_local CDialogWatcher* g_watcher = nullptr;

std::wstring WindowText(HWND window)
{
    wchar_t text[2048] = {};
    GetWindowTextW(window, text, ARRAYSIZE(text));
    return text;
}

std::wstring ClassName(HWND window)
{
    wchar_t name[64] = {};
    GetClassNameW(window, name, ARRAYSIZE(name));
    return name;
}

std::wstring WithoutAccelerators(const std::wstring& text)
{
    std::wstring out;
    for (wchar_t c : text)
        if (c != L'&')
            out += c;
    return out;
}

struct Children {
    SeenDialog* seen;
    HWND dialog;
};

BOOL CALLBACK CollectChild(HWND child, LPARAM param)
{
    auto* children = reinterpret_cast<Children*>(param);
    // The dialog itself is not shown yet when it is activated: its children's own style tells.
    if (GetParent(child) != children->dialog || !(GetWindowLongW(child, GWL_STYLE) & WS_VISIBLE))
        return TRUE;
    std::wstring name = ClassName(child);
    std::wstring text = WindowText(child);
    if (_wcsicmp(name.c_str(), L"Button") == 0) {
        children->seen->buttons.push_back(WithoutAccelerators(text));
        children->seen->buttonIds.push_back(GetDlgCtrlID(child));
    } else if (_wcsicmp(name.c_str(), L"Static") == 0 && !text.empty()) {
        if (!children->seen->text.empty())
            children->seen->text += L"\n";
        children->seen->text += text;
    }
    return TRUE;
}

}

CDialogWatcher::CDialogWatcher(int answer) : m_answer(answer)
{
    g_watcher = this;
    m_hook = SetWindowsHookExW(WH_CBT, &CDialogWatcher::Hook, nullptr, GetCurrentThreadId());
    EXPECT_NE(nullptr, m_hook);
}

CDialogWatcher::CDialogWatcher(Answer answer) : CDialogWatcher(IDOK)
{
    m_answerFunction = static_cast<Answer&&>(answer);
}

CDialogWatcher::~CDialogWatcher()
{
    if (m_hook)
        UnhookWindowsHookEx(m_hook);
    g_watcher = nullptr;
}

LRESULT CALLBACK CDialogWatcher::Hook(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HCBT_ACTIVATE && g_watcher) {
        HWND window = reinterpret_cast<HWND>(wParam);
        // Wine may report the activation of another program's window too: only this thread's own
        // dialogs are answered.
        // A property sheet is driven by its test, not answered.
        if (GetWindowThreadProcessId(window, nullptr) == GetCurrentThreadId() && ClassName(window) == L"#32770"
            && !FindWindowExW(window, nullptr, WC_TABCONTROLW, nullptr))
            g_watcher->Handle(window);
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

void CDialogWatcher::Handle(HWND dialog)
{
    // Activation comes again when the dialog regains focus: each dialog is answered once.
    if (GetPropW(dialog, L"CDialogWatcher"))
        return;
    SetPropW(dialog, L"CDialogWatcher", reinterpret_cast<HANDLE>(1));
    SeenDialog seen;
    seen.caption = WindowText(dialog);
    Children children = { &seen, dialog };
    EnumChildWindows(dialog, &CollectChild, reinterpret_cast<LPARAM>(&children));
    m_seen.push_back(seen);
    if (m_answerFunction) {
        if (int press = m_answerFunction(dialog, seen))
            PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(press, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, press)));
        return;
    }
    int press = 0;
    for (int id : seen.buttonIds)
        if (id == m_answer)
            press = id;
    for (int id : seen.buttonIds)
        if (!press && (id == IDCANCEL || id == IDNO))
            press = id;
    if (!press && !seen.buttonIds.empty())
        press = seen.buttonIds[0];
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(press ? press : IDCANCEL, BN_CLICKED),
                 reinterpret_cast<LPARAM>(press ? GetDlgItem(dialog, press) : nullptr));
}

std::wstring CDialogWatcher::Describe() const
{
    std::wstring out;
    for (const SeenDialog& seen : m_seen) {
        out += L"[" + seen.caption + L"] " + seen.text + L" {";
        for (const std::wstring& button : seen.buttons)
            out += L" " + button;
        out += L" }\n";
    }
    return out;
}
