// The settings key of the current user, read and written through the real registry.
#include <gtest/gtest.h>
#include <aclapi.h>
#include <sddl.h>
#include "Settings.h"
#include "TestSupport.h"
#include <winternl.h>

extern "C" NTSTATUS NTAPI NtSetValueKey(HANDLE key, PUNICODE_STRING name, ULONG titleIndex, ULONG type, PVOID data,
                                        ULONG size);

namespace {

class SettingsTest : public testing::Test {
protected:
    void SetUp() override { RemoveSettingsKey(); }
    void TearDown() override { RemoveSettingsKey(); }

    static void RemoveSettingsKey()
    {
        SetKeyAccess(L"D:(A;;KA;;;WD)");
        DeleteTree(HKEY_CURRENT_USER, kSettingsKey);
    }
    // Gives the settings key (when it exists) the access described in SDDL.
    static void SetKeyAccess(const wchar_t* sddl)
    {
        CRegKeyHandle key;
        if (RegOpenKeyExW(HKEY_CURRENT_USER, kSettingsKey, 0, WRITE_DAC, &key) != ERROR_SUCCESS)
            return;
        PSECURITY_DESCRIPTOR descriptor = nullptr;
        ASSERT_TRUE(ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl, SDDL_REVISION_1, &descriptor, nullptr));
        RegSetKeySecurity(key, DACL_SECURITY_INFORMATION | PROTECTED_DACL_SECURITY_INFORMATION, descriptor);
        LocalFree(descriptor);
    }
    // Stores the bytes exactly as given. The native call is used because Wine's RegSetValueExW
    // lengthens string data that lacks a terminator, where Windows stores it as it is.
    static void WriteRaw(const wchar_t* name, DWORD type, const void* data, DWORD size)
    {
        CRegKeyHandle key;
        ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExW(HKEY_CURRENT_USER, kSettingsKey, 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr));
        UNICODE_STRING valueName;
        RtlInitUnicodeString(&valueName, name);
        ASSERT_EQ(0, NtSetValueKey(key, &valueName, 0, type, const_cast<void*>(data), size));
    }
};

TEST_F(SettingsTest, AFreshProfileGetsTheKeyAndTheDefaults)
{
    ASSERT_FALSE(KeyExists(HKEY_CURRENT_USER, kSettingsKey));
    Parameters parameters;
    Options* settings = parameters.GetOptions();
    ASSERT_NE(nullptr, settings);
    EXPECT_EQ(settings, parameters.GetOptions());
    EXPECT_TRUE(settings->IsOpen());
    EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, kSettingsKey));

    OptionsState state;
    state.quickExts = L"kept";
    ASSERT_TRUE(LoadOptions(settings, state));
    EXPECT_EQ(DefaultOptions, state.options);
    EXPECT_STREQ(L"kept", state.quickExts);
    DWORD multiple = 1;
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, settings->ReadDword(kValueMultipleSelections, multiple));
    EXPECT_EQ(1u, multiple);
}

TEST_F(SettingsTest, ValuesOfTheWrongTypeLeaveTheDefaults)
{
    DWORD number = 7;
    WriteRaw(kValueQuickExts, REG_DWORD, &number, sizeof(number));
    WriteRaw(kValueOptions, REG_SZ, L"255", 8);
    Options settings;
    CString quick(L"before");
    EXPECT_EQ(ERROR_INVALID_DATA, settings.ReadString(kValueQuickExts, quick));
    EXPECT_STREQ(L"before", quick);
    DWORD options = DefaultOptions;
    EXPECT_EQ(ERROR_INVALID_DATA, settings.ReadDword(kValueOptions, options));
    EXPECT_EQ(DefaultOptions, options);
}

TEST_F(SettingsTest, MalformedStringsAreInvalidAndLeaveTheCallersText)
{
    // Nothing follows the counted bytes: no terminator can be picked up past them.
    const wchar_t odd[] = { L'a', L'b', 0, L'c' };
    const wchar_t open[] = { L't', L'x', L't', L';', L'b', L'a', L'k' };
    WriteRaw(L"Odd", REG_SZ, odd, 5);  // two and a half characters
    WriteRaw(kValueQuickExts, REG_SZ, open, sizeof(open));
    WriteRaw(L"Empty", REG_SZ, L"", 0);
    WriteRaw(L"Expand", REG_EXPAND_SZ, L"%TEMP%;htm", 11 * sizeof(wchar_t));
    Options settings;
    CString text(L"default");
    EXPECT_EQ(ERROR_INVALID_DATA, settings.ReadString(L"Odd", text));
    EXPECT_STREQ(L"default", text);
    EXPECT_EQ(ERROR_INVALID_DATA, settings.ReadString(kValueQuickExts, text));
    EXPECT_STREQ(L"default", text);
    OptionsState state;
    state.quickExts = L"kept";
    ASSERT_TRUE(LoadOptions(&settings, state));
    EXPECT_STREQ(L"kept", state.quickExts);
    EXPECT_EQ(ERROR_SUCCESS, settings.ReadString(L"Empty", text));
    EXPECT_STREQ(L"", text);
    EXPECT_EQ(ERROR_SUCCESS, settings.ReadString(L"Expand", text));
    EXPECT_STREQ(L"%TEMP%;htm", text);  // taken literally, never expanded
}

TEST_F(SettingsTest, TextsOfAnyLengthAroundTheFirstReadsBufferComeBackWhole)
{
    Options settings;
    for (int length : { 253, 254, 255, 256, 4000 }) {
        std::wstring value(size_t(length), L'q');
        WriteRaw(L"Long", REG_SZ, value.c_str(), DWORD(length + 1) * sizeof(wchar_t));
        WriteRaw(L"Open", REG_SZ, value.c_str(), DWORD(length) * sizeof(wchar_t));
        CString text(L"default");
        EXPECT_EQ(ERROR_SUCCESS, settings.ReadString(L"Long", text)) << length;
        EXPECT_EQ(value, text.GetString()) << length;
        text = L"default";
        EXPECT_EQ(ERROR_INVALID_DATA, settings.ReadString(L"Open", text)) << length;
        EXPECT_STREQ(L"default", text) << length;
    }
}

TEST_F(SettingsTest, SavingFromEveryBoxCheckedWritesExactlyTheSixteenBits)
{
    Options settings;
    OptionsState state;
    state.options = 0xFFFFFFFF;
    state.quickExts = L"txt;bak;htm";
    EXPECT_TRUE(SaveOptions(&settings, state));
    EXPECT_EQ(0x001FFE27u, StoredOptions());
    EXPECT_NE(DefaultOptions, StoredOptions());
    OptionsState loaded;
    ASSERT_TRUE(LoadOptions(&settings, loaded));
    EXPECT_EQ(0x001FFE27u, loaded.options);
    EXPECT_STREQ(L"txt;bak;htm", loaded.quickExts);
}

TEST_F(SettingsTest, AKeyTheUserMayNotWriteLeavesTheDefaultsAndSavesNothing)
{
    DWORD stored = 0;
    WriteRaw(kValueOptions, REG_DWORD, &stored, sizeof(stored));
    SetKeyAccess(L"D:P(A;;KR;;;WD)");
    Options settings;
    EXPECT_FALSE(settings.IsOpen());
    OptionsState state;
    ASSERT_TRUE(LoadOptions(&settings, state));
    EXPECT_EQ(DefaultOptions, state.options);  // the stored 0 is not read either
    state.options = OptAttributes;
    EXPECT_TRUE(SaveOptions(&settings, state));
    SetKeyAccess(L"D:(A;;KA;;;WD)");
    EXPECT_EQ(0u, StoredOptions());
}

TEST_F(SettingsTest, KeysOpenOnlyWhenTheyExistAndKeepTheirHandleOnFailure)
{
    CRegKey2 key;
    EXPECT_NE(ERROR_SUCCESS, key.OpenKey(HKEY_CURRENT_USER, L"SOFTWARE\\Zeph\\Morvane\\Nope", KEY_READ));
    EXPECT_FALSE(key.IsOpen());
    ASSERT_EQ(ERROR_SUCCESS, key.CreateKey(HKEY_CURRENT_USER, L"SOFTWARE\\Zeph\\Morvane\\Tree\\Leaf", KEY_READ | KEY_WRITE));
    HKEY held = key.GetHandle();
    EXPECT_NE(ERROR_SUCCESS, key.OpenKey(HKEY_CURRENT_USER, L"SOFTWARE\\Zeph\\Morvane\\Nope", KEY_READ));
    EXPECT_EQ(held, key.GetHandle());
    EXPECT_EQ(ERROR_SUCCESS, key.WriteString(L"s", L"text"));
    CString text;
    EXPECT_EQ(ERROR_SUCCESS, key.ReadString(L"s", text));
    EXPECT_STREQ(L"text", text);
    ASSERT_EQ(ERROR_SUCCESS, key.OpenKey(HKEY_CURRENT_USER, kSettingsKey, KEY_READ | KEY_WRITE));
    EXPECT_EQ(ERROR_SUCCESS, key.DeleteTree(L"Tree"));
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, std::wstring(kSettingsKey) + L"\\Tree"));
    key.Close();
    key.Close();
    EXPECT_FALSE(key.IsOpen());
}

TEST(ParametersTest, EachSelectionReplacesTheFileList)
{
    Parameters parameters;
    EXPECT_EQ(nullptr, parameters.GetFileList());
    CFileList* first = parameters.GetFileList(HdropDataObject({ L"C:\\a.txt", L"C:\\b.txt" }));
    ASSERT_NE(nullptr, first);
    EXPECT_EQ(2, first->GetSize());
    EXPECT_EQ(first, parameters.GetFileList());
    CFileList* second = parameters.GetFileList(HdropDataObject({ L"C:\\c.txt" }));
    ASSERT_NE(nullptr, second);
    EXPECT_EQ(1, second->GetSize());
    EXPECT_STREQ(L"C:\\c.txt", parameters.GetFileList()->ElementAt(0).m_path);
}

TEST(ParametersTest, TypesBegunOnTheirOwnThreadAreTheListKeptAndNeverOutliveTheirOwner)
{
    Parameters early, late;
    early.BeginExtList();
    early.BeginExtList();  // a second call starts nothing more
    CExtList* types = early.GetExtList();
    ASSERT_NE(nullptr, types);
    EXPECT_EQ(types, early.GetExtList());
    ASSERT_NE(nullptr, late.GetExtList());
    EXPECT_EQ(late.GetExtList()->GetSize(), types->GetSize());
    EXPECT_EQ(types->ElementAt(types->GetSize() - 1).m_typeName, late.GetExtList()->ElementAt(types->GetSize() - 1).m_typeName);
    for (int i = 0; i < 20; ++i) {
        Parameters abandoned;  // its walk still running when it goes: the owner waits for it
        abandoned.BeginExtList();
    }
}

}
