#include "Check.h"
#include "Holders.h"
#include "ModernMenu.h"
#include "NativeArchitecture.h"
#include "Product.h"
#include "RegistryString.h"
#include "VerifyDlg.h"

namespace {

// The check only reads: a user without the right to change these keys still gets a true report.
bool OpenForReading(HKEY parent, LPCSTR subkey, CRegKeyHandle& key)
{
    return ::RegOpenKeyExA(parent, subkey, 0, KEY_READ, &key) == ERROR_SUCCESS;
}

// Appends prefix + value + suffix after reading the value, or the failure text.
bool Append(CString& report, HKEY key, LPCSTR name, LPCSTR prefix, LPCSTR suffix, LPCSTR failure, CString& value)
{
    if (ReadRegistryString(key, name, value, RegistryText::AnyType) != ERROR_SUCCESS) {
        report += failure;
        return false;
    }
    report += prefix;
    report += value;
    report += suffix;
    return true;
}

bool CheckClassRegistration(CString& report, CString& clsid, CString& path)
{
    CString value;
    CRegKeyHandle progId;
    if (!OpenForReading(HKEY_CLASSES_ROOT, kMenuHandlerProgId, progId)) {
        report += "Could not open ProgID";
        return false;
    }
    if (!Append(report, progId, nullptr, "ProgID = ", ".\r\n", "Could not read ProgID", value))
        return false;
    CRegKeyHandle progIdClass;
    if (!OpenForReading(progId, "CLSID", progIdClass)) {
        report += "Could not open CLSID key under ProgID";
        return false;
    }
    if (!Append(report, progIdClass, nullptr, "CLSID = ", "\r\n", "Could not determine CLSID from ProgID.", clsid))
        return false;

    CString classKeyName("CLSID\\");
    classKeyName += clsid;
    CRegKeyHandle classKey;
    if (!OpenForReading(HKEY_CLASSES_ROOT, classKeyName, classKey)) {
        report += "Could not open Class ID";
        return false;
    }
    if (!Append(report, classKey, nullptr, "Class ID = ", ".\r\n", "Could not read Class ID", value))
        return false;
    CRegKeyHandle server;
    if (!OpenForReading(classKey, "InprocServer32", server)) {
        report += "Could not open CLSID server path.";
        return false;
    }
    if (!Append(report, server, nullptr, "Path = '", "'\r\n", "Could not read CLSID server path.", path))
        return false;
    return Append(report, server, "ThreadingModel", "Model = '", "'\r\n", "Could not read CLSID model.", value);
}

bool CheckMenuHook(CString& report, const CString& clsid)
{
    CRegKeyHandle hook;
    if (!OpenForReading(HKEY_CLASSES_ROOT, kMenuHandlerHook, hook)) {
        report += "Could not locate menu handler.";
        return false;
    }
    CString handler;
    if (ReadRegistryString(hook, nullptr, handler, RegistryText::AnyType) != ERROR_SUCCESS) {
        report += "Could not locate menu handler class.";
        return false;
    }
    if (handler.Compare(clsid) != 0) {
        report += "MorvaneMenu = ";
        report += handler;
        report += "\r\nMenu handler does not match CLSID.";
        return false;
    }
    report += "ContextMenuHandler ok.\r\n";
    return true;
}

// Windows 11's first-level menu needs the package, registered for each account on its own.
void AppendPackageState(CString& report)
{
    if (!HasModernMenu())
        return;
    switch (ModernPackageState()) {
    case PackageState::Registered:
        report += "Windows 11 menu package registered for this user.\r\n";
        break;
    case PackageState::NotRegistered:
        report += "Windows 11 menu package not registered for this user.\r\n";
        break;
    case PackageState::Unknown:
        report += "Could not query the Windows 11 menu package.\r\n";
        break;
    }
}

bool CheckModule(CString& report, LPCSTR path)
{
    if (::GetFileAttributesA(path) == INVALID_FILE_ATTRIBUTES)
        report += "Morvane.dll does not exist in path.\r\n";
    // The ARM64 module of an ARM64 machine is only read: this x64 process cannot load it.
    bool loaded = LoadsHere(path) ? CLibrary(::LoadLibraryA(path)).IsValid()
                                  : FileMachine(path) != IMAGE_FILE_MACHINE_UNKNOWN;
    if (!loaded) {
        report += "Could not load Morvane.dll.";
        return false;
    }
    report += "Code module loaded.\r\n";
    if (!ModuleExports(path, "DllRegisterServer")) {
        report += "Could not load Morvane entry point.";
        return false;
    }
    report += "Entry point loaded.\r\n";
    AppendPackageState(report);
    report += "----\r\nMorvane files are properly installed.";
    return true;
}

}

bool BuildCheckReport(CString& report)
{
    report.Empty();
    CString clsid, path;
    if (!CheckClassRegistration(report, clsid, path) || !CheckMenuHook(report, clsid))
        return false;
    return CheckModule(report, path);
}

bool CheckInstallation()
{
    CVerifyDlg dialog;
    bool complete = BuildCheckReport(dialog.m_results);
    dialog.DoModal();
    return complete;
}
