// The profile a menu test starts from: no settings key, and the type ".mvt" registered as
// "Morvane Test File"; both are removed again after the test.
#pragma once
#include <gtest/gtest.h>
#include "TestSupport.h"

class MenuProfileTest : public testing::Test {
protected:
    void SetUp() override
    {
        ClearSettings();
        RegisterFileType(L".mvt", L"Morvane.TestType", L"Morvane Test File", false);
    }
    void TearDown() override
    {
        ClearSettings();
        DeleteTree(HKEY_CLASSES_ROOT, L".mvt");
        DeleteTree(HKEY_CLASSES_ROOT, L"Morvane.TestType");
    }
};
