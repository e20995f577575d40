#include "ActiveSetup.h"
#include "Deletion.h"
#include "Holders.h"
#include "Product.h"
#include "RegistryString.h"

namespace {

const char kActiveSetupComponents[] = "SOFTWARE\\Microsoft\\Active Setup\\Installed Components";
const int kVersionParts = 4;

CString EntryKey()
{
    CString key(kActiveSetupComponents);
    key += '\\';
    key += kActiveSetupId;
    return key;
}

}

CString ActiveSetupVersion()
{
    CString version;
    int parts = 1;
    for (LPCSTR c = MORVANE_VERSION_TEXT; *c; ++c) {
        if (*c == '.') {
            version += ',';
            ++parts;
        } else {
            version += *c;
        }
    }
    for (; parts < kVersionParts; ++parts)
        version += ",0";
    return version;
}

bool WriteActiveSetupEntry(LPCSTR command)
{
    CRegKeyHandle key;
    if (::RegCreateKeyExA(HKEY_LOCAL_MACHINE, EntryKey(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_SET_VALUE, nullptr,
                          &key, nullptr) != ERROR_SUCCESS)
        return false;
    const DWORD installed = 1;
    return WriteRegistryString(key, nullptr, "Morvane") == ERROR_SUCCESS &&
           WriteRegistryString(key, "Version", ActiveSetupVersion()) == ERROR_SUCCESS &&
           WriteRegistryString(key, "StubPath", command) == ERROR_SUCCESS &&
           ::RegSetValueExA(key, "IsInstalled", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&installed),
                            sizeof(installed)) == ERROR_SUCCESS;
}

void DeleteActiveSetupEntry()
{
    DeleteKeyTree(HKEY_LOCAL_MACHINE, EntryKey());
}

bool HasActiveSetupEntry()
{
    CRegKeyHandle key;
    return ::RegOpenKeyExA(HKEY_LOCAL_MACHINE, EntryKey(), 0, KEY_QUERY_VALUE, &key) == ERROR_SUCCESS;
}
