// PowerShell scripts the installer runs: built in a bounded buffer with safely quoted literals, and
// handed over as Base64 of their UTF-16 text, so that no character of a folder name reaches a
// command line, where quotes and blanks would have to survive two parsers.
#pragma once
#include <windows.h>
#include "ProgramRunner.h"

class CScript {
public:
    bool IsValid() const { return m_valid; }
    LPCWSTR Text() const { return m_text; }

    void Append(LPCWSTR text);
    // A single-quoted literal. PowerShell takes the typographic single quotes for quotes too; each is
    // doubled, so that no character of the text can end the literal.
    void AppendLiteral(LPCWSTR text);
    // The 8-bit text of the installer as a literal.
    void AppendLiteral(LPCSTR text);

private:
    static const int kMaxScript = 2048;
    void Put(WCHAR c);

    WCHAR m_text[kMaxScript] = {};
    int m_length = 0;
    bool m_valid = true;
};

// The system folder's powershell.exe.
CString PowerShellProgram();
// Its arguments for the script: no profile, no prompts, no window.
CString PowerShellArguments(const CScript& script);
// PowerShell started from the system folder without a window, running the script, waited for; the
// application is empty when the script is not valid.
ProgramRun PowerShellRun(const CScript& script);
