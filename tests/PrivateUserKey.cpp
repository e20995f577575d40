#include "PrivateUserKey.h"
#include "Settings.h"
#include "TestSupport.h"

void CPrivateUserKey::SetUp()
{
    DeleteTree(HKEY_CURRENT_USER, m_path);
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExW(HKEY_CURRENT_USER, m_path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                                             &m_key, nullptr));
    ASSERT_EQ(ERROR_SUCCESS, RegOverridePredefKey(HKEY_CURRENT_USER, m_key));
    // What this process writes under the user's key, the module included, must land here.
    StoreSetting(kValueOptions, 1);
    EXPECT_EQ(1u, ReadDword(m_key, kSettingsKey, kValueOptions, 0)) << "HKEY_CURRENT_USER was not redirected";
    ClearSettings();
}

void CPrivateUserKey::TearDown()
{
    RegOverridePredefKey(HKEY_CURRENT_USER, nullptr);
    m_key.Close();
    DeleteTree(HKEY_CURRENT_USER, m_path);
    RegDeleteKeyW(HKEY_CURRENT_USER, L"Software\\Morvane Tests");  // left while another program's key is in it
}
