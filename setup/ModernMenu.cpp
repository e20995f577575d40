#include "ModernMenu.h"
#include "Product.h"
#include "TrustedCertificate.h"
#include <wincrypt.h>

namespace {

// Adding a package makes the deployment service validate its signature and register its extensions.
const DWORD kPowerShellTimeoutMs = 120000;
const int kMaxScript = 2048;

DWORD RealWindowsBuild()
{
    // RtlGetVersion tells the true version; GetVersionEx answers what the program's manifest names.
    using RtlGetVersionFunction = LONG(WINAPI*)(OSVERSIONINFOW*);
    auto getVersion = reinterpret_cast<RtlGetVersionFunction>(
        reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleA("ntdll.dll"), "RtlGetVersion")));
    OSVERSIONINFOW version = { sizeof(version) };
    return getVersion && getVersion(&version) == 0 ? version.dwBuildNumber : 0;
}

// A PowerShell script in a bounded buffer; an append that does not fit spoils it.
class CScript {
public:
    bool IsValid() const { return m_valid; }
    LPCWSTR Text() const { return m_text; }

    void Append(LPCWSTR text)
    {
        for (; *text; ++text)
            Put(*text);
    }
    // A single-quoted literal. PowerShell takes the typographic single quotes for quotes too; each is
    // doubled, so that no character of the text can end the literal.
    void AppendLiteral(LPCWSTR text)
    {
        Put(L'\'');
        for (; *text; ++text) {
            if (*text == L'\'' || (*text >= 0x2018 && *text <= 0x201B))
                Put(*text);
            Put(*text);
        }
        Put(L'\'');
    }
    // The 8-bit text of the installer as a literal.
    void AppendLiteral(LPCSTR text)
    {
        WCHAR wide[MAX_PATH + 16];
        if (::MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, text, -1, wide, MAX_PATH + 16) == 0)
            m_valid = false;
        else
            AppendLiteral(wide);
    }

private:
    void Put(WCHAR c)
    {
        if (m_length + 1 >= kMaxScript) {
            m_valid = false;
            return;
        }
        m_text[m_length++] = c;
        m_text[m_length] = 0;
    }

    WCHAR m_text[kMaxScript] = {};
    int m_length = 0;
    bool m_valid = true;
};

bool RunPowerShell(const CScript& script)
{
    return script.IsValid() && RunProgram(PowerShellRun(script.Text()));
}

// The folder as the external location: without its closing backslash, unless it is a drive's root.
CString ExternalLocation(LPCSTR folder)
{
    CString location(folder);
    int length = location.GetLength();
    if (length > 3 && location[length - 1] == '\\')
        location.Truncate(length - 1);
    return location;
}

bool AddPackage(LPCSTR folder)
{
    CString package(folder);
    package += kPackageFile;
    if (::GetFileAttributesA(package) == INVALID_FILE_ATTRIBUTES)
        return false;
    CScript script;
    script.Append(L"$ErrorActionPreference = 'Stop'; Add-AppxPackage -Path ");
    script.AppendLiteral(package.GetString());
    script.Append(L" -ExternalLocation ");
    script.AppendLiteral(ExternalLocation(folder).GetString());
    return RunPowerShell(script);
}

bool RemovePackage()
{
    CScript script;
    script.Append(L"$ErrorActionPreference = 'Stop'; Get-AppxPackage -Name ");
    script.AppendLiteral(kPackageName);
    script.Append(L" | Remove-AppxPackage");
    return RunPowerShell(script);
}

CString CertificatePath(LPCSTR folder)
{
    CString path(folder);
    path += kCertificateFile;
    return path;
}

}

DWORD (*g_windowsBuild)() = &RealWindowsBuild;

bool HasModernMenu()
{
    return g_windowsBuild() >= 22000;
}

bool AddToModernMenu(LPCSTR folder)
{
    // A package signed with a builder's own certificate comes without Morvane.cer: its signer is
    // trusted through its certification authority.
    if (TrustCertificate(CertificatePath(folder)) == CertificateOutcome::Failed)
        return false;
    return AddPackage(folder);
}

bool RemoveFromModernMenu(LPCSTR folder)
{
    bool removed = RemovePackage();
    return DistrustCertificate(CertificatePath(folder)) != CertificateOutcome::Failed && removed;
}

ProgramRun PowerShellRun(LPCWSTR script)
{
    ProgramRun run;
    run.application = SystemFolderProgram("WindowsPowerShell\\v1.0\\powershell.exe");
    run.inheritHandles = FALSE;
    run.creationFlags = CREATE_NO_WINDOW;
    run.timeoutMs = kPowerShellTimeoutMs;
    // The script goes as Base64 of its UTF-16 text: no character of a folder name reaches the command
    // line, where quotes and blanks would have to survive two parsers.
    DWORD bytes = DWORD(lstrlenW(script) * sizeof(WCHAR));
    DWORD length = 0;
    const DWORD flags = CRYPT_STRING_BASE64 | CRYPT_STRING_NOCRLF;
    CString encoded;
    LPSTR buffer = nullptr;
    if (::CryptBinaryToStringA(reinterpret_cast<const BYTE*>(script), bytes, flags, nullptr, &length) &&
        (buffer = encoded.GetBuffer(int(length))) != nullptr &&
        ::CryptBinaryToStringA(reinterpret_cast<const BYTE*>(script), bytes, flags, buffer, &length)) {
        encoded.ReleaseBuffer();
        run.commandLine.Format("\"%s\" -NoLogo -NoProfile -NonInteractive -EncodedCommand %s",
                               run.application.GetString(), encoded.GetString());
    }
    if (run.commandLine.IsEmpty())
        run.application.Empty();
    return run;
}
