#include "ActiveSetup.h"
#include "Deletion.h"
#include "Holders.h"
#include "Product.h"
#include "RegistryString.h"

namespace {

const char kActiveSetupComponents[] = "SOFTWARE\\Microsoft\\Active Setup\\Installed Components";
// The product's parts, then the count of installations.
const int kProductParts = 3;

CString EntryKey()
{
    CString key(kActiveSetupComponents);
    key += '\\';
    key += kActiveSetupId;
    return key;
}

// Whether text is the version's start followed by digits only, the count.
bool IsCountOf(LPCSTR text, const CString& start, UINT& count)
{
    int length = start.GetLength();
    for (int i = 0; i < length; ++i) {
        if (text[i] != start[i])
            return false;
    }
    count = 0;
    LPCSTR digit = text + length;
    for (; *digit >= '0' && *digit <= '9' && count < 100000; ++digit)
        count = count * 10 + UINT(*digit - '0');
    return digit != text + length && *digit == 0;
}

}

CString ActiveSetupVersion(LPCSTR previous)
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
    for (; parts < kProductParts; ++parts)
        version += ",0";
    version += ',';
    UINT previousCount = 0, installations = 0;
    if (IsCountOf(previous, version, previousCount))
        installations = previousCount + 1;
    CString count;
    count.Format("%u", installations);
    version += count;
    return version;
}

bool WriteActiveSetupEntry(LPCSTR command)
{
    CRegKeyHandle key;
    if (::RegCreateKeyExA(HKEY_LOCAL_MACHINE, EntryKey(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                          KEY_QUERY_VALUE | KEY_SET_VALUE, nullptr, &key, nullptr) != ERROR_SUCCESS)
        return false;
    CString previous;
    ReadRegistryString(key, "Version", previous, RegistryText::AnyType);
    const DWORD installed = 1;
    return WriteRegistryString(key, nullptr, "Morvane") == ERROR_SUCCESS &&
           WriteRegistryString(key, "Version", ActiveSetupVersion(previous)) == ERROR_SUCCESS &&
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
