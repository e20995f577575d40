// The profile a menu test starts from: no settings key, and the type ".mvt" registered as
// "Morvane Test File"; both are removed again after the test.
#pragma once
#include <gtest/gtest.h>
#include "TestSupport.h"

class MenuProfileTest : public testing::Test {
protected:
    static constexpr const wchar_t* kSettingsKeyName = L"SOFTWARE\\Zeph\\Morvane";

    void SetUp() override
    {
        DeleteTree(HKEY_CURRENT_USER, kSettingsKeyName);
        RegisterFileType(L".mvt", L"Morvane.TestType", L"Morvane Test File", false);
    }
    void TearDown() override
    {
        DeleteTree(HKEY_CURRENT_USER, kSettingsKeyName);
        DeleteTree(HKEY_CLASSES_ROOT, L".mvt");
        DeleteTree(HKEY_CLASSES_ROOT, L"Morvane.TestType");
    }
};
