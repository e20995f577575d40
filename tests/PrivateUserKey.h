// Points this process's HKEY_CURRENT_USER at a key of its own under the real one, so that a
// program that writes the settings can run beside the others; the key goes at the end. A program
// adds it as a global environment: testing::AddGlobalTestEnvironment(new CPrivateUserKey(L"name")).
#pragma once
#include <windows.h>
#include <gtest/gtest.h>
#include <string>
#include "Holders.h"

class CPrivateUserKey : public testing::Environment {
public:
    explicit CPrivateUserKey(const wchar_t* name) : m_path(std::wstring(L"Software\\Morvane Tests\\") + name) {}
    void SetUp() override;
    void TearDown() override;

private:
    std::wstring m_path;
    CRegKeyHandle m_key;
};
