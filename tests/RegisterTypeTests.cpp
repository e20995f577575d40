// Registering the menu handler for one type from the Type page, where HKEY_CLASSES_ROOT takes the
// write and where it refuses it, as it does an unelevated user for a machine-wide type.
#include <gtest/gtest.h>
#include "ExtList.h"
#include "Guids.h"
#include "Settings.h"
#include "TestSupport.h"
#include <sddl.h>
#include <shellapi.h>
#include <string>
#include <vector>

namespace {

const wchar_t kType[] = L"Morvane.RegisterType";
const wchar_t kHandler[] = L"Morvane.RegisterType\\shellex\\ContextMenuHandlers\\MorvaneMenu";
const wchar_t kUserHandler[] = L"Software\\Classes\\Morvane.RegisterType\\shellex\\ContextMenuHandlers\\MorvaneMenu";

std::wstring ClassId()
{
    wchar_t text[40] = L"";
    StringFromGUID2(CLSID_MorvaneMenuHandler, text, 40);
    return text;
}

std::wstring HandlerAt(HKEY root, const wchar_t* key)
{
    std::wstring value;
    return ReadString(root, key, nullptr, value) ? value : L"(none)";
}

// Denies everyone writing the key (setting values, creating subkeys); reading and deleting stay allowed.
void MakeUnwritable(HKEY root, const wchar_t* key)
{
    CRegKeyHandle handle;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExW(root, key, 0, nullptr, 0, WRITE_DAC, nullptr, &handle, nullptr));
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    ASSERT_TRUE(ConvertStringSecurityDescriptorToSecurityDescriptorW(L"D:(D;;0x6;;;WD)(A;;KA;;;WD)", SDDL_REVISION_1,
                                                                     &descriptor, nullptr));
    EXPECT_EQ(ERROR_SUCCESS, RegSetKeySecurity(handle, DACL_SECURITY_INFORMATION, descriptor));
    LocalFree(descriptor);
    CRegKeyHandle written;
    ASSERT_EQ(ERROR_ACCESS_DENIED, RegOpenKeyExW(root, key, 0, KEY_WRITE, &written)) << "the key must refuse writes";
}

class RegisterType : public testing::Test {
protected:
    void SetUp() override
    {
        TearDown();
        RegisterFileType(L".mvreg", kType, L"Morvane Register Test", false);
    }
    void TearDown() override
    {
        DeleteTree(HKEY_CLASSES_ROOT, L".mvreg");
        DeleteTree(HKEY_CLASSES_ROOT, kType);
        DeleteTree(HKEY_CURRENT_USER, L"Software\\Classes\\Morvane.RegisterType");
    }
    int Index(const CExtList& types) const
    {
        int index = types.Find(L"mvreg");
        EXPECT_GE(index, 0);
        return index;
    }
};

TEST_F(RegisterType, WritesThroughTheMergedClassesWhereTheyTakeItAndUnregistersFromBothPlaces)
{
    CExtList types(0);
    int index = Index(types);
    EXPECT_FALSE(types.IsRegistered(index));
    EXPECT_TRUE(types.SetRegistered(index, true));
    EXPECT_TRUE(types.IsRegistered(index));
    EXPECT_EQ(ClassId(), HandlerAt(HKEY_CLASSES_ROOT, kHandler));
    EXPECT_EQ(L"(none)", HandlerAt(HKEY_CURRENT_USER, kUserHandler));
    // A copy in the user's classes too, as an earlier refused write leaves it: both go.
    WriteString(HKEY_CURRENT_USER, kUserHandler, nullptr, ClassId());
    EXPECT_TRUE(types.SetRegistered(index, false));
    EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, kHandler));
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, kUserHandler));
    EXPECT_FALSE(types.IsRegistered(index));
}

TEST_F(RegisterType, WhereTheMergedClassesRefuseTheUsersClassesTakeTheKey)
{
    // Wine lets a subkey be created under a key that denies it, so the refusing key is the handler
    // key itself, left without its value.
    MakeUnwritable(HKEY_CLASSES_ROOT, kHandler);
    CExtList types(0);
    int index = Index(types);
    EXPECT_FALSE(types.IsRegistered(index));
    EXPECT_TRUE(types.SetRegistered(index, true));
    EXPECT_EQ(ClassId(), HandlerAt(HKEY_CURRENT_USER, kUserHandler));
    EXPECT_TRUE(types.IsRegistered(index));  // read from the user's classes, which Wine does not merge
    EXPECT_TRUE(types.SetRegistered(index, false));
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, kUserHandler));
    EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, kHandler));
    EXPECT_FALSE(types.IsRegistered(index));
}

}

// The list is read by several threads at once; each record must still be the shell's answer for
// its own extension, in the registry's order, names and icons alike.
TEST_F(RegisterType, EveryRecordIsTheShellsAnswerForItsOwnExtensionInTheRegistrysOrder)
{
    // Enough types of our own, each with a name of its own, for every walker to have a run.
    const int kOwnTypes = 256;
    std::vector<std::wstring> own;
    for (int i = 0; i < kOwnTypes; ++i) {
        std::wstring number = std::to_wstring(i);
        own.push_back(L"Morvane.Walk" + number);
        RegisterFileType(L".mvwalk" + number, own.back(), L"Morvane walk test " + number, false);
    }
    std::vector<std::wstring> extensions;
    wchar_t name[256];
    for (DWORD index = 0;; ++index) {
        DWORD length = 256;
        LONG err = RegEnumKeyExW(HKEY_CLASSES_ROOT, index, name, &length, nullptr, nullptr, nullptr, nullptr);
        if (err == ERROR_NO_MORE_ITEMS)
            break;
        if (err == ERROR_SUCCESS && name[0] == L'.')
            extensions.push_back(name + 1);
    }
    ASSERT_GE(extensions.size(), 200u) << "too few types to share the walk out";
    for (DWORD options : { DWORD(0), DWORD(OptTypeIcons) }) {
        CExtList types(options);
        ASSERT_EQ(int(extensions.size()), types.GetSize());
        UINT flags = SHGFI_TYPENAME | SHGFI_USEFILEATTRIBUTES | (options ? SHGFI_SYSICONINDEX | SHGFI_SMALLICON : 0);
        for (int i = 0; i < types.GetSize(); ++i) {
            SHFILEINFOW info = {};
            SHGetFileInfoW((L"." + extensions[i]).c_str(), 0, &info, sizeof(info), flags);
            const CExtList::CExtInfo& record = types.ElementAt(i);
            ASSERT_EQ(extensions[i], record.m_extension.GetString()) << i;
            EXPECT_STREQ(info.szTypeName, record.m_typeName) << extensions[i];
            EXPECT_EQ(options ? info.iIcon : 0, record.m_icon) << extensions[i];
        }
    }
    for (int i = 0; i < kOwnTypes; ++i) {
        DeleteTree(HKEY_CLASSES_ROOT, L".mvwalk" + std::to_wstring(i));
        DeleteTree(HKEY_CLASSES_ROOT, own[i]);
    }
}
