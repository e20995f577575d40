// The test helpers on the module's settings key, named as the module names it.
#include "Settings.h"
#include "TestSupport.h"
#include <gtest/gtest.h>

void StoreSettings(DWORD options, const wchar_t* quickExts)
{
    StoreSetting(kValueOptions, options);
    if (quickExts)
        StoreQuickExts(quickExts);
}

void StoreSetting(const wchar_t* value, DWORD data)
{
    EXPECT_TRUE(WriteDword(HKEY_CURRENT_USER, kSettingsKey, value, data)) << "cannot store the setting";
}

void StoreQuickExts(const std::wstring& quickExts)
{
    WriteString(HKEY_CURRENT_USER, kSettingsKey, kValueQuickExts, quickExts);
}

DWORD StoredOptions()
{
    return ReadDword(HKEY_CURRENT_USER, kSettingsKey, kValueOptions, 0xBAD);
}

std::wstring StoredQuickExts()
{
    std::wstring text;
    if (!ReadString(HKEY_CURRENT_USER, kSettingsKey, kValueQuickExts, text))
        return L"<missing>";
    return text;
}

void ClearSettings()
{
    DeleteTree(HKEY_CURRENT_USER, kSettingsKey);
}
