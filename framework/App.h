// The application object: one global instance per program, initialised when the program (or the
// library) starts and shut down when it ends.
#pragma once
#include <windows.h>

class CApp {
public:
    explicit CApp(LPCTSTR appName = nullptr);
    virtual ~CApp();
    CApp(const CApp&) = delete;
    CApp& operator=(const CApp&) = delete;

    // Called once at start-up. A program's initialisation runs the whole program and returns false.
    virtual BOOL InitInstance() { return TRUE; }
    // Called once at shut-down; its result is a program's exit code.
    virtual int ExitInstance() { return 0; }

    HINSTANCE GetInstance() const { return m_instance; }
    // The title of the program's message boxes.
    virtual LPCTSTR GetAppName() const { return m_appName; }
    void SetAppName(LPCTSTR name) { m_appName = name; }

    static CApp* Current();

    // Entry points of the framework: a library's process attach and detach, a program's start.
    static BOOL LibraryAttach(HINSTANCE instance);
    static void LibraryDetach();
    static int RunProgram(HINSTANCE instance);

protected:
    HINSTANCE m_instance = nullptr;
    LPCTSTR m_appName;
};
