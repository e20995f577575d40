// Answers the modal dialogs that code under test opens on this thread, the way a UI test does:
// a WH_CBT hook sees each dialog as it is activated, records its caption, texts and visible
// buttons, and presses a button. A test therefore never hangs on a dialog.
#pragma once
#include <windows.h>
#include <functional>
#include <string>
#include <vector>

struct SeenDialog {
    std::wstring caption;
    std::wstring text;                  // the static texts, joined by '\n'
    std::vector<std::wstring> buttons;  // visible buttons in window order, '&' removed
    std::vector<int> buttonIds;
};

class CDialogWatcher {
public:
    // Returns the id of the button to press, or 0 when it dealt with the dialog itself.
    using Answer = std::function<int(HWND dialog, const SeenDialog& seen)>;

    // answer: the button id to press; when the dialog has no such button, Cancel or No is pressed,
    // else the first visible button.
    explicit CDialogWatcher(int answer = IDOK);
    // Each dialog goes to the function instead. Property sheets are left alone either way.
    explicit CDialogWatcher(Answer answer);
    ~CDialogWatcher();
    CDialogWatcher(const CDialogWatcher&) = delete;
    CDialogWatcher& operator=(const CDialogWatcher&) = delete;

    const std::vector<SeenDialog>& Seen() const { return m_seen; }
    // The dialogs seen so far as one readable text, for assertion messages.
    std::wstring Describe() const;

private:
    static LRESULT CALLBACK Hook(int code, WPARAM wParam, LPARAM lParam);
    void Handle(HWND dialog);

    HHOOK m_hook = nullptr;
    int m_answer = IDOK;
    Answer m_answerFunction;
    std::vector<SeenDialog> m_seen;
};
