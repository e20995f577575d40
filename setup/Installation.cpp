#include "Installation.h"
#include "Deletion.h"
#include "FolderTree.h"
#include "Holders.h"
#include "Messages.h"
#include "ModernMenu.h"
#include "NativeArchitecture.h"
#include "Product.h"
#include "RegistryString.h"
#include "Str.h"

namespace {

const char* const kCopiedFiles[] = { kModuleFile, kInstallerFile, kRunnerFile };
// Copied when the build made them: a build signed with a builder's own certificate has no Morvane.cer.
const char* const kCopiedWhenBuilt[] = { kPackageFile, kCertificateFile };
const char* const kPreviousFiles[] = { "Morvane.dll", "Setup.exe", "Quarnel.dll", "Quarnel.inf", "Inspecto.exe",
                                       "Register.dll", kPackageFile, kCertificateFile, kRunnerFile };

// What the steps share from step 0 to the end of the process.
struct InstallState {
    char sourceBuffer[MAX_PATH] = {};
    CString sourceFolder;
    CString destinationFolder;  // ends in a backslash from step 1 on
};
InstallState g_state;

CString WithBackslash(LPCSTR folder)
{
    CString text(folder);
    if (text.IsEmpty() || text[text.GetLength() - 1] != '\\')
        text += '\\';
    return text;
}

bool IsCopiedFile(LPCSTR name)
{
    for (const char* copied : kCopiedFiles) {
        if (lstrcmpiA(copied, name) == 0)
            return true;
    }
    for (const char* copied : kCopiedWhenBuilt) {
        if (lstrcmpiA(copied, name) == 0)
            return true;
    }
    return false;
}

// The folder of the running program, ending in a backslash; empty when it cannot be had.
void FindSourceFolder(char (&folder)[MAX_PATH])
{
    folder[0] = 0;
    char program[MAX_PATH];
    DWORD length = ::GetModuleFileNameA(nullptr, program, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return;
    DWORD full = ::GetFullPathNameA(program, MAX_PATH, folder, nullptr);
    if (full == 0 || full >= MAX_PATH) {
        folder[0] = 0;
        return;
    }
    LPCSTR slash = LastBackslash(folder);
    if (slash)
        folder[slash - folder + 1] = 0;
}

// The previously registered module's path, read into path; the hook and class keys go. The keys
// are only read here (DeleteKeyTree opens them for deletion itself).
void ForgetPreviousRegistration(char (&path)[MAX_PATH])
{
    CRegKeyHandle hook;
    if (::RegOpenKeyExA(HKEY_CLASSES_ROOT, kMenuHandlerHook, 0, KEY_READ, &hook) != ERROR_SUCCESS)
        return;
    char clsid[50];
    bool haveClsid = ReadRegistryString(hook, nullptr, clsid, sizeof(clsid), RegistryText::AnyType) == ERROR_SUCCESS;
    hook.Close();
    CString classKey;
    if (haveClsid) {
        classKey.Format("CLSID\\%s", clsid);
        CString serverKey = classKey;
        serverKey += "\\InprocServer32";
        CRegKeyHandle server;
        char module[MAX_PATH];
        if (::RegOpenKeyExA(HKEY_CLASSES_ROOT, serverKey, 0, KEY_READ, &server) == ERROR_SUCCESS &&
            ReadRegistryString(server, nullptr, module, sizeof(module), RegistryText::AnyType) == ERROR_SUCCESS)
            lstrcpyA(path, module);
    }
    DeleteKeyTree(HKEY_CLASSES_ROOT, kMenuHandlerHook);
    if (haveClsid)
        DeleteKeyTree(HKEY_CLASSES_ROOT, classKey);
}

[[noreturn]] void FailCopy()
{
    FailInstallation("Could not copy Morvane files. Ensure the destination disk is not full or write-protected "
                     "and any previous version of Morvane has been removed and the system restarted.",
                     "Installation failed");
}

void CopyProgramFile(LPCSTR name, LPCSTR targetFolder, bool whenBuilt)
{
    CString source = g_state.sourceFolder;
    source += NativeFileFolder(name);
    source += name;
    CString target(targetFolder);
    target += name;
    // Started from the installation folder itself: the file is already in place.
    if (IsSameFile(source, target) || (whenBuilt && ::GetFileAttributesA(source) == INVALID_FILE_ATTRIBUTES))
        return;
    if (!::CopyFileA(source, target, FALSE))
        FailCopy();
}

void CopyProgramFiles()
{
    for (const char* name : kCopiedFiles)
        CopyProgramFile(name, g_state.destinationFolder, false);
    for (const char* name : kCopiedWhenBuilt)
        CopyProgramFile(name, g_state.destinationFolder, true);
    if (!HasModernMenu())
        return;
    CString modern = ModernFolder(g_state.destinationFolder);
    if (!CreateFolderTree(modern))
        FailCopy();
    for (const char* name : kModernFiles)
        CopyProgramFile(name, modern, false);
}

void AddToWindows11Menu()
{
    if (!HasModernMenu())
        return;
    switch (AddToModernMenu(g_state.destinationFolder)) {
    case ModernOutcome::Failed:
        ShowMessageBox(nullptr, kModernMenuAddFailure, nullptr, MB_OK | MB_ICONEXCLAMATION);
        break;
    case ModernOutcome::Deferred:
        ShowMessageBox(nullptr, kModernMenuAtSignIn, nullptr, MB_OK | MB_ICONINFORMATION);
        break;
    default:
        break;
    }
}

// Deletes the previous version's file, or ends the installation when that cannot be arranged.
void DeletePreviousFile(const CString& file)
{
    if (DeleteOrSchedule(file) != DeleteOutcome::Failed)
        return;
    CString message("You must restart your computer in order to fully remove the previous version of Morvane "
                    "files.\nOnce your computer is back up, restart SETUP to continue with the installation.");
    message += NotScheduledNote(file);
    FailInstallation(message, "Files are locked by Explorer");
}

bool WriteUninstallEntry()
{
    CRegKeyHandle key;
    if (::RegCreateKeyExA(HKEY_LOCAL_MACHINE, kUninstallKey, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS,
                          nullptr, &key, nullptr) != ERROR_SUCCESS) {
        ShowMessageBox(nullptr, "Could not open registry.");
        return false;
    }
    const CString& folder = g_state.destinationFolder;
    CString command;
    // Quoted, so that a folder with blanks cannot be taken for another program ("C:\Program.exe").
    command.Format("\"%s%s\" /u", folder.GetString(), kInstallerFile);
    CString icon;
    icon.Format("%s%s,0", folder.GetString(), kInstallerFile);
    WriteRegistryString(key, "DisplayName", "Morvane v" MORVANE_VERSION_TEXT);
    WriteRegistryString(key, "UninstallString", command);
    WriteRegistryString(key, "DisplayVersion", MORVANE_VERSION_TEXT);
    WriteRegistryString(key, "Publisher", MORVANE_PUBLISHER);
    WriteRegistryString(key, "DisplayIcon", icon);
    WriteRegistryString(key, "InstallLocation", folder);
    return true;
}

void RegisterModule()
{
    using RegisterExport = HRESULT(STDAPICALLTYPE*)();
    CString modulePath = g_state.destinationFolder;
    modulePath += kModuleFile;
    if (!LoadsHere(modulePath)) {
        if (!RegisterNatively(modulePath, false)) {
            WriteUninstallEntry();
            FailInstallation("Could not register Morvane.dll.", "Installation failed");
        }
        return;
    }
    CLibrary module(::LoadLibraryA(modulePath));
    auto registerServer = module.IsValid()
        ? reinterpret_cast<RegisterExport>(::GetProcAddress(module, "DllRegisterServer"))
        : nullptr;
    HRESULT registered = registerServer ? registerServer() : E_FAIL;
    module.Close();
    if (!registerServer)
        FailInstallation("Could not load Morvane DLL's. \nContact manufacturer.", "Installation failed");
    if (FAILED(registered)) {
        // The files are in place: the uninstall entry lets "/u" find and remove them.
        WriteUninstallEntry();
        FailInstallation("Could not register Morvane.dll.", "Installation failed");
    }
}

}

void RemovePreviousVersion(LPCSTR path, LPCSTR sourceFolder)
{
    char working[MAX_PATH];
    lstrcpynA(working, path, MAX_PATH);
    ForgetPreviousRegistration(working);

    LPCSTR slash = LastBackslash(working);
    if (!slash)
        return;
    working[slash - working + 1] = 0;
    // Only a version that came with the package can have registered it. Its certificate is known by
    // its Morvane.cer, deleted below.
    CString previousPackage(working);
    previousPackage += kPackageFile;
    if (HasModernMenu() && ::GetFileAttributesA(previousPackage) != INVALID_FILE_ATTRIBUTES &&
        !RemoveFromModernMenu(working))
        ShowMessageBox(nullptr, kModernMenuRemovalFailure);
    for (const char* name : kPreviousFiles) {
        CString file(working);
        file += name;
        CString source(sourceFolder);
        source += name;
        // Running from the folder of the previous version: these are the files about to be copied.
        if (IsCopiedFile(name) && IsSameFile(file, source))
            continue;
        DeletePreviousFile(file);
    }
    CString modern = ModernFolder(working);
    for (const char* name : kModernFiles) {
        CString file = modern;
        file += name;
        DeletePreviousFile(file);
    }
    // Files moved aside may still hold it; an installation into the same folder fills it again.
    ::RemoveDirectoryA(modern);
}

bool RunInstallStep(LPCSTR destination, UINT& step)
{
    switch (step) {
    case 0: {
        // The source folder is found first so that the previous version's removal can spare it.
        FindSourceFolder(g_state.sourceBuffer);
        CString previous = WithBackslash(destination);
        previous += '.';
        RemovePreviousVersion(previous, g_state.sourceBuffer);
        break;
    }
    case 1:
        g_state.sourceFolder = g_state.sourceBuffer;
        g_state.destinationFolder = WithBackslash(destination);
        CopyProgramFiles();
        break;
    case 2:
        RegisterModule();
        AddToWindows11Menu();
        break;
    case 3:
        if (!WriteUninstallEntry())
            return false;
        break;
    default:
        return false;
    }
    ++step;
    return true;
}
