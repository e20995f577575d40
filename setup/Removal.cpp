#include "Removal.h"
#include "ActiveSetup.h"
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

// The registered module's full path, from the menu handler's class registration. The keys are only
// read here: a user who may read them but not change them still has the files removed (asking for
// full access would fail, and the removal would report success with nothing removed).
bool FindRegisteredModule(char (&path)[MAX_PATH])
{
    CRegKeyHandle progId;
    char clsid[50];
    CString progIdClass(kMenuHandlerProgId);
    progIdClass += "\\CLSID";
    if (::RegOpenKeyExA(HKEY_CLASSES_ROOT, progIdClass, 0, KEY_READ, &progId) != ERROR_SUCCESS ||
        ReadRegistryString(progId, nullptr, clsid, sizeof(clsid), RegistryText::AnyType) != ERROR_SUCCESS)
        return false;
    CString serverKey;
    serverKey.Format("CLSID\\%s\\InprocServer32", clsid);
    CRegKeyHandle server;
    return ::RegOpenKeyExA(HKEY_CLASSES_ROOT, serverKey, 0, KEY_READ, &server) == ERROR_SUCCESS &&
           ReadRegistryString(server, nullptr, path, sizeof(path), RegistryText::AnyType) == ERROR_SUCCESS;
}

// An installation whose module could not register itself is known only by its uninstall entry:
// the module in the folder the entry records.
bool FindInstalledModule(char (&path)[MAX_PATH])
{
    CRegKeyHandle entry;
    char folder[MAX_PATH];
    if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE, kUninstallKey, 0, KEY_READ, &entry) != ERROR_SUCCESS ||
        ReadRegistryString(entry, "InstallLocation", folder, sizeof(folder), RegistryText::AnyType) != ERROR_SUCCESS ||
        folder[0] == 0)
        return false;
    CString module(folder);
    if (module[module.GetLength() - 1] != '\\')
        module += '\\';
    module += kModuleFile;
    if (module.GetLength() >= MAX_PATH)
        return false;
    lstrcpyA(path, module);
    return true;
}

void DeleteInstallerKeys()
{
    CRegKeyHandle software;
    if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software", 0, KEY_ALL_ACCESS, &software) != ERROR_SUCCESS)
        return;
    DeleteKeyTree(software, kPreviousProductKey);
    DeleteKeyTree(software, kUninstallKeyBelowSoftware);
}

void UnregisterModule(LPCSTR path)
{
    using UnregisterExport = HRESULT(STDAPICALLTYPE*)();
    if (!LoadsHere(path)) {
        RegisterNatively(path, true);
        return;
    }
    CLibrary module(::LoadLibraryA(path));
    if (!module.IsValid())
        return;
    auto unregister = reinterpret_cast<UnregisterExport>(::GetProcAddress(module, "DllUnregisterServer"));
    if (unregister)
        unregister();
}

// Deletes the file now or at restart; false, after the failure box, when neither can be arranged.
bool DeleteInstalledFile(const CString& folder, const CString& file, bool& allGone)
{
    DeleteOutcome outcome = DeleteOrSchedule(file);
    if (outcome == DeleteOutcome::Failed) {
        CString message;
        message.Format("Not all files could be deleted from '%s'. Try restarting and removing them with Explorer.",
                       folder.GetString());
        message += NotScheduledNote(file);
        ShowMessageBox(nullptr, message);
        return false;
    }
    allGone = allGone && outcome == DeleteOutcome::Gone;
    return true;
}

bool DeleteInstalledFiles(const CString& folder, bool& allGone)
{
    const char* const installed[] = { kModuleFile, kInstallerFile, kPackageFile, kCertificateFile, kRunnerFile };
    for (const char* name : installed) {
        CString file = folder;
        file += name;
        if (!DeleteInstalledFile(folder, file, allGone))
            return false;
    }
    CString modern = ModernFolder(folder);
    for (const char* name : kModernFiles) {
        CString file = modern;
        file += name;
        if (!DeleteInstalledFile(folder, file, allGone))
            return false;
    }
    DeleteFolderOrSchedule(modern);
    return true;
}

}

bool RemoveInstallation()
{
    char modulePath[MAX_PATH] = {};
    bool haveModule = FindRegisteredModule(modulePath) || FindInstalledModule(modulePath);
    DeleteInstallerKeys();
    DeleteActiveSetupEntry();

    bool allGone = true;
    if (haveModule) {
        UnregisterModule(modulePath);
        LPCSTR slash = LastBackslash(modulePath);
        if (slash) {
            CString folder(modulePath, int(slash - modulePath + 1));
            // Before the files go: the certificate to remove is the one Morvane.cer names.
            if (HasModernMenu() && !RemoveFromModernMenu(folder))
                ShowMessageBox(nullptr, kModernMenuRemovalFailure);
            if (!DeleteInstalledFiles(folder, allGone))
                return false;
        }
    }
    ShowMessageBox(nullptr, allGone ? "Morvane files removed successfully."
                            : "Morvane files will be deleted the next time Windows is restarted.",
                    "Uninstall Complete");
    return true;
}
