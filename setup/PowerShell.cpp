#include "PowerShell.h"
#include <wincrypt.h>

namespace {

// Adding a package makes the deployment service validate its signature and register its extensions.
const DWORD kPowerShellTimeoutMs = 120000;

}

void CScript::Append(LPCWSTR text)
{
    for (; *text; ++text)
        Put(*text);
}

void CScript::AppendLiteral(LPCWSTR text)
{
    Put(L'\'');
    for (; *text; ++text) {
        if (*text == L'\'' || (*text >= 0x2018 && *text <= 0x201B))
            Put(*text);
        Put(*text);
    }
    Put(L'\'');
}

void CScript::AppendLiteral(LPCSTR text)
{
    WCHAR wide[MAX_PATH + 16];
    if (::MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, text, -1, wide, MAX_PATH + 16) == 0)
        m_valid = false;
    else
        AppendLiteral(wide);
}

void CScript::Put(WCHAR c)
{
    if (m_length + 1 >= kMaxScript) {
        m_valid = false;
        return;
    }
    m_text[m_length++] = c;
    m_text[m_length] = 0;
}

CString PowerShellProgram()
{
    return SystemFolderProgram("WindowsPowerShell\\v1.0\\powershell.exe");
}

CString PowerShellArguments(const CScript& script)
{
    CString arguments;
    if (!script.IsValid())
        return arguments;
    DWORD bytes = DWORD(lstrlenW(script.Text()) * sizeof(WCHAR));
    auto data = reinterpret_cast<const BYTE*>(script.Text());
    DWORD length = 0;
    const DWORD flags = CRYPT_STRING_BASE64 | CRYPT_STRING_NOCRLF;
    CString encoded;
    LPSTR buffer = nullptr;
    if (::CryptBinaryToStringA(data, bytes, flags, nullptr, &length) &&
        (buffer = encoded.GetBuffer(int(length))) != nullptr &&
        ::CryptBinaryToStringA(data, bytes, flags, buffer, &length)) {
        encoded.ReleaseBuffer();
        arguments.Format("-NoLogo -NoProfile -NonInteractive -WindowStyle Hidden -EncodedCommand %s",
                         encoded.GetString());
    }
    return arguments;
}

ProgramRun PowerShellRun(const CScript& script)
{
    ProgramRun run;
    run.application = PowerShellProgram();
    run.inheritHandles = FALSE;
    run.creationFlags = CREATE_NO_WINDOW;
    run.timeoutMs = kPowerShellTimeoutMs;
    CString arguments = PowerShellArguments(script);
    if (arguments.IsEmpty() || run.application.IsEmpty())
        run.application.Empty();
    else
        run.commandLine.Format("\"%s\" %s", run.application.GetString(), arguments.GetString());
    return run;
}
