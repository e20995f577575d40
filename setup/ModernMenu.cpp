#include "ModernMenu.h"
#include "ActiveSetup.h"
#include "ShellStart.h"
#include "Holders.h"
#include "PackageFamily.h"
#include "PowerShell.h"
#include "Product.h"
#include "TrustedCertificate.h"
#include <shlobj.h>

namespace {

DWORD WindowsBuild()
{
    // RtlGetVersion tells the true version; GetVersionEx answers what the program's manifest names.
    using RtlGetVersionFunction = LONG(WINAPI*)(OSVERSIONINFOW*);
    auto getVersion = reinterpret_cast<RtlGetVersionFunction>(
        reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleA("ntdll.dll"), "RtlGetVersion")));
    OSVERSIONINFOW version = { sizeof(version) };
    return getVersion && getVersion(&version) == 0 ? version.dwBuildNumber : 0;
}

CKernelHandle OwnToken()
{
    HANDLE token = nullptr;
    return CKernelHandle(::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, &token) ? token : nullptr);
}

bool IsElevated()
{
    CKernelHandle token = OwnToken();
    TOKEN_ELEVATION elevation = {};
    DWORD size = 0;
    return token.IsValid() &&
           ::GetTokenInformation(token, TokenElevation, &elevation, sizeof(elevation), &size) &&
           elevation.TokenIsElevated != 0;
}

// A deployment tool's service account has no desktop of its own.
bool IsLocalSystem()
{
    CKernelHandle token = OwnToken();
    union {
        TOKEN_USER user;
        BYTE bytes[sizeof(TOKEN_USER) + SECURITY_MAX_SID_SIZE];
    } owner;
    DWORD size = 0;
    return token.IsValid() && ::GetTokenInformation(token, TokenUser, &owner, sizeof(owner), &size) &&
           ::IsWellKnownSid(owner.user.User.Sid, WinLocalSystemSid);
}

bool IsSetValue(HKEY key, LPCSTR name)
{
    DWORD value = 0, size = sizeof(value), type = 0;
    return ::RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) == ERROR_SUCCESS &&
           type == REG_DWORD && value != 0;
}

// While Windows setup has not finished, in Safe Mode, and for a deployment run as the system, no
// user sits at a desktop of their own.
bool IsUsersDesktopAvailable()
{
    if (::GetSystemMetrics(SM_CLEANBOOT) != 0 || IsLocalSystem())
        return false;
    CRegKeyHandle setup;
    if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SYSTEM\\Setup", 0, KEY_QUERY_VALUE, &setup) != ERROR_SUCCESS)
        return true;
    return !IsSetValue(setup, "OOBEInProgress") && !IsSetValue(setup, "SystemSetupInProgress");
}

CString FileIn(LPCSTR folder, LPCSTR name)
{
    CString path(folder);
    path += name;
    return path;
}

// The external location: the "Modern" folder without its closing backslash.
CString ExternalLocation(LPCSTR folder)
{
    CString location = ModernFolder(folder);
    location.Truncate(location.GetLength() - 1);
    return location;
}

// The registration for the user who runs the script.
CScript AddPackageScript(LPCSTR folder)
{
    CScript script;
    script.Append(L"$ErrorActionPreference = 'Stop'; Add-AppxPackage -Path ");
    script.AppendLiteral(FileIn(folder, kPackageFile).GetString());
    script.Append(L" -ExternalLocation ");
    script.AppendLiteral(ExternalLocation(folder).GetString());
    return script;
}

// Elevated, the installer's own processes run as the elevated account: the desktop's shell starts
// the registration as the user at the desk. Unelevated, the installer is that user.
ModernOutcome RegisterForDesktopUser(const CScript& script)
{
    if (!IsUsersDesktopAvailable())
        return ModernOutcome::AtSignIn;
    if (!IsElevated())
        return RunProgram(PowerShellRun(script)) ? ModernOutcome::Started : ModernOutcome::Failed;
    CString arguments = PowerShellArguments(script);
    return !arguments.IsEmpty() && StartFromDesktopShell(PowerShellProgram(), arguments) ? ModernOutcome::Started
                                                                                         : ModernOutcome::Deferred;
}

bool RemovePackageForEveryone()
{
    CScript script;
    script.Append(L"$ErrorActionPreference = 'Stop'; Get-AppxPackage -AllUsers -Name ");
    script.AppendLiteral(kPackageName);
    script.Append(L" | Remove-AppxPackage -AllUsers");
    return RunProgram(PowerShellRun(script));
}

// Explorer reads the packages' menu extensions again.
void TellTheShell()
{
    ::SHChangeNotify(SHCNE_ASSOCCHANGED, SHCNF_IDLIST, nullptr, nullptr);
}

LONG WINAPI NoPackageQuery(PCWSTR, UINT32*, PWSTR*, UINT32*, WCHAR*)
{
    return ERROR_CALL_NOT_IMPLEMENTED;
}

// Windows 8 and later have it; the installer still starts on systems without it.
PackagesByFamily SystemPackageQuery()
{
    auto query = reinterpret_cast<PackagesByFamily>(
        reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleA("kernel32.dll"), "GetPackagesByPackageFamily")));
    return query ? query : &NoPackageQuery;
}

PackagesByFamily g_packagesByFamily = nullptr;

}

bool HasModernMenu()
{
    return WindowsBuild() >= 22000;
}

CString ModernFolder(LPCSTR folder)
{
    CString modern(folder);
    modern += kModernFolder;
    modern += '\\';
    return modern;
}

ModernOutcome AddToModernMenu(LPCSTR folder)
{
    CScript script = AddPackageScript(folder);
    // A package signed with a builder's own certificate comes without Morvane.cer: its signer is
    // trusted through its certification authority.
    if (::GetFileAttributesA(FileIn(folder, kPackageFile)) == INVALID_FILE_ATTRIBUTES || !script.IsValid() ||
        TrustCertificate(FileIn(folder, kCertificateFile)) == CertificateOutcome::Failed ||
        !WriteActiveSetupEntry(PowerShellRun(script).commandLine))
        return ModernOutcome::Failed;
    ModernOutcome outcome = RegisterForDesktopUser(script);
    TellTheShell();
    return outcome;
}

bool RemoveFromModernMenu(LPCSTR folder)
{
    bool removed = RemovePackageForEveryone();
    bool distrusted = DistrustCertificate(FileIn(folder, kCertificateFile)) != CertificateOutcome::Failed;
    TellTheShell();
    return removed && distrusted;
}

PackageState ModernPackageState()
{
    if (!g_packagesByFamily)
        g_packagesByFamily = SystemPackageQuery();
    UINT32 count = 0, length = 0;
    LONG result = g_packagesByFamily(L"" MORVANE_PACKAGE_FAMILY, &count, nullptr, &length, nullptr);
    if (result != ERROR_SUCCESS && result != ERROR_INSUFFICIENT_BUFFER)
        return PackageState::Unknown;
    return count > 0 ? PackageState::Registered : PackageState::NotRegistered;
}

PackagesByFamily SetPackagesByFamily(PackagesByFamily query)
{
    PackagesByFamily previous = g_packagesByFamily;
    g_packagesByFamily = query;
    return previous;
}
