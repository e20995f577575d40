// The module's registration, its class objects and its unload test, through the built DLL itself.
#include <gtest/gtest.h>
#include <set>
#include "Guids.h"
#include "TestSupport.h"

namespace {

const wchar_t kHandlerClsid[] = L"{5A1E0C37-6B2D-4F80-9C14-7E3B2A9D0F61}";
const wchar_t kLoggerClsid[] = L"{6F3A91C2-0B7D-4E58-A1C6-93D04B2E7F18}";
const wchar_t kLibId[] = L"{5A1E0C27-6B2D-4F80-9C14-7E3B2A9D0F61}";
const wchar_t* const kHookedClasses[] = { L"*", L"lnkfile", L"piffile", L"InternetShortcut" };

using Export = HRESULT(STDAPICALLTYPE*)();
using GetClassObjectExport = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**);

class RegistrationTest : public testing::Test {
protected:
    void SetUp() override
    {
        m_module.Attach(LoadLibraryW(BuiltModulePath().c_str()));
        ASSERT_TRUE(m_module.IsValid());
        m_register = reinterpret_cast<Export>(GetProcAddress(m_module, "DllRegisterServer"));
        m_unregister = reinterpret_cast<Export>(GetProcAddress(m_module, "DllUnregisterServer"));
        m_canUnload = reinterpret_cast<Export>(GetProcAddress(m_module, "DllCanUnloadNow"));
        m_getClassObject = reinterpret_cast<GetClassObjectExport>(GetProcAddress(m_module, "DllGetClassObject"));
        ASSERT_TRUE(m_register && m_unregister && m_canUnload && m_getClassObject);
        m_unregister();
    }

    std::wstring LoadedModulePath() const
    {
        wchar_t path[MAX_PATH];
        GetModuleFileNameW(m_module, path, MAX_PATH);
        return path;
    }

    // The key holds exactly these subkeys and these string values (name "" is the default value).
    void ExpectKey(const std::wstring& key, std::set<std::wstring> subKeys,
                   std::vector<std::pair<std::wstring, std::wstring>> values)
    {
        SCOPED_TRACE(key);
        ASSERT_TRUE(KeyExists(HKEY_CLASSES_ROOT, key));
        std::vector<std::wstring> found = SubKeys(HKEY_CLASSES_ROOT, key);
        EXPECT_EQ(subKeys, std::set<std::wstring>(found.begin(), found.end()));
        EXPECT_EQ(found.size(), std::set<std::wstring>(found.begin(), found.end()).size());
        std::set<std::wstring> names;
        for (const std::wstring& name : ValueNames(HKEY_CLASSES_ROOT, key))
            names.insert(name);
        std::set<std::wstring> expectedNames;
        for (const auto& value : values) {
            expectedNames.insert(value.first);
            std::wstring text;
            EXPECT_TRUE(ReadString(HKEY_CLASSES_ROOT, key, value.first.empty() ? nullptr : value.first.c_str(), text))
                << "value " << ToNarrow(value.first);
            EXPECT_EQ(value.second, text) << "value " << ToNarrow(value.first);
        }
        EXPECT_EQ(expectedNames, names);
    }

    void ExpectRegistered()
    {
        const std::wstring module = LoadedModulePath();
        const std::wstring handlerClass = std::wstring(L"CLSID\\") + kHandlerClsid;
        const std::wstring loggerClass = std::wstring(L"CLSID\\") + kLoggerClsid;
        ExpectKey(L"Morvane.MenuHandler.1", { L"CLSID" }, { { L"", L"MorvaneMenuHandler Class" } });
        ExpectKey(L"Morvane.MenuHandler.1\\CLSID", {}, { { L"", kHandlerClsid } });
        ExpectKey(L"Morvane.MenuHandler", { L"CurVer", L"CLSID" }, { { L"", L"MorvaneMenuHandler Class" } });
        ExpectKey(L"Morvane.MenuHandler\\CurVer", {}, { { L"", L"Morvane.MenuHandler.1" } });
        ExpectKey(L"Morvane.MenuHandler\\CLSID", {}, { { L"", kHandlerClsid } });
        for (const wchar_t* fileClass : kHookedClasses)
            ExpectKey(std::wstring(fileClass) + L"\\shellex\\ContextMenuHandlers\\MorvaneMenu", {}, { { L"", kHandlerClsid } });
        ExpectKey(handlerClass, { L"ProgID", L"VersionIndependentProgID", L"InprocServer32" },
                  { { L"", L"MorvaneMenuHandler Class" } });
        ExpectKey(handlerClass + L"\\ProgID", {}, { { L"", L"Morvane.MenuHandler.1" } });
        ExpectKey(handlerClass + L"\\VersionIndependentProgID", {}, { { L"", L"Morvane.MenuHandler" } });
        ExpectKey(handlerClass + L"\\InprocServer32", {}, { { L"", module }, { L"ThreadingModel", L"Both" } });

        ExpectKey(L"Morvane.Logger.1", { L"CLSID" }, { { L"", L"Logger Class" } });
        ExpectKey(L"Morvane.Logger.1\\CLSID", {}, { { L"", kLoggerClsid } });
        ExpectKey(L"Morvane.Logger", { L"CurVer", L"CLSID" }, { { L"", L"Logger Class" } });
        ExpectKey(L"Morvane.Logger\\CLSID", {}, { { L"", kLoggerClsid } });
        ExpectKey(L"Morvane.Logger\\CurVer", {}, { { L"", L"Morvane.Logger.1" } });
        ExpectKey(loggerClass, { L"ProgID", L"VersionIndependentProgID", L"InprocServer32", L"TypeLib" },
                  { { L"", L"Logger Class" } });
        ExpectKey(loggerClass + L"\\ProgID", {}, { { L"", L"Morvane.Logger.1" } });
        ExpectKey(loggerClass + L"\\VersionIndependentProgID", {}, { { L"", L"Morvane.Logger" } });
        ExpectKey(loggerClass + L"\\InprocServer32", {}, { { L"", module }, { L"ThreadingModel", L"Both" } });
        ExpectKey(loggerClass + L"\\TypeLib", {}, { { L"", kLibId } });

        const std::wstring library = std::wstring(L"TypeLib\\") + kLibId + L"\\1.0";
        std::wstring text;
        EXPECT_TRUE(ReadString(HKEY_CLASSES_ROOT, library, nullptr, text));
        EXPECT_EQ(L"Morvane 1.0 Type Library", text);
        EXPECT_TRUE(ReadString(HKEY_CLASSES_ROOT, library + L"\\HELPDIR", nullptr, text));
        EXPECT_EQ(module.substr(0, module.rfind(L'\\')), text);
        EXPECT_TRUE(ReadString(HKEY_CLASSES_ROOT, L"Interface\\{6F3A91C1-0B7D-4E58-A1C6-93D04B2E7F18}", nullptr, text));
        EXPECT_EQ(L"ILogger", text);
    }

    void ExpectUnregistered()
    {
        for (const wchar_t* key : { L"Morvane.MenuHandler.1", L"Morvane.MenuHandler", L"Morvane.Logger.1", L"Morvane.Logger" })
            EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, key)) << ToNarrow(key);
        EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, std::wstring(L"CLSID\\") + kHandlerClsid));
        EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, std::wstring(L"CLSID\\") + kLoggerClsid));
        EXPECT_TRUE(KeyExists(HKEY_CLASSES_ROOT, L"CLSID"));
        for (const wchar_t* fileClass : kHookedClasses) {
            std::wstring hooks = std::wstring(fileClass) + L"\\shellex\\ContextMenuHandlers";
            EXPECT_TRUE(KeyExists(HKEY_CLASSES_ROOT, hooks)) << ToNarrow(hooks);
            EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, hooks + L"\\MorvaneMenu")) << ToNarrow(hooks);
        }
    }

    CLibrary m_module;
    Export m_register = nullptr;
    Export m_unregister = nullptr;
    Export m_canUnload = nullptr;
    GetClassObjectExport m_getClassObject = nullptr;
};

TEST_F(RegistrationTest, WritesExactlyTheKeysOfBothScriptsAndTheTypeLibrary)
{
    ASSERT_EQ(S_OK, m_register());
    ExpectRegistered();
}

TEST_F(RegistrationTest, RegisteringTwiceReplacesTheMarkedKeysWhole)
{
    ASSERT_EQ(S_OK, m_register());
    WriteString(HKEY_CLASSES_ROOT, std::wstring(L"CLSID\\") + kHandlerClsid + L"\\Stale", nullptr, L"old");
    WriteString(HKEY_CLASSES_ROOT, L"*\\shellex\\ContextMenuHandlers\\MorvaneMenu\\Stale", nullptr, L"old");
    ASSERT_EQ(S_OK, m_register());
    ExpectRegistered();
}

TEST_F(RegistrationTest, UnregisteringRemovesOwnKeysAndKeepsSharedOnesAndTheTypeLibrary)
{
    ASSERT_EQ(S_OK, m_register());
    EXPECT_EQ(S_OK, m_unregister());
    ExpectUnregistered();
    EXPECT_TRUE(KeyExists(HKEY_CLASSES_ROOT, std::wstring(L"TypeLib\\") + kLibId + L"\\1.0"));
}

TEST_F(RegistrationTest, UnregisteringNothingSucceeds)
{
    EXPECT_EQ(S_OK, m_unregister());
    EXPECT_EQ(S_OK, m_unregister());
    ExpectUnregistered();
}

TEST_F(RegistrationTest, BothClassesAreCreatedThroughTheRegistry)
{
    ASSERT_EQ(S_OK, m_register());
    CComPtr<IContextMenu> menu;
    ASSERT_EQ(S_OK, CoCreateInstance(CLSID_MorvaneMenuHandler, nullptr, CLSCTX_INPROC_SERVER, IID_IContextMenu,
                                     menu.ReceiveVoid()));
    CComPtr<IShellExtInit> init;
    EXPECT_EQ(S_OK, menu.QueryInterface(IID_IShellExtInit, init));
    CComPtr<IUnknown> none;
    EXPECT_EQ(E_NOINTERFACE, menu.QueryInterface(IID_ILogger, none));
    EXPECT_EQ(nullptr, none.Get());

    CComPtr<IUnknown> logger;
    ASSERT_EQ(S_OK, CoCreateInstance(CLSID_MorvaneLogger, nullptr, CLSCTX_INPROC_SERVER, IID_ILogger, logger.ReceiveVoid()));
    CComPtr<IContextMenu> notMenu;
    EXPECT_EQ(E_NOINTERFACE, logger.QueryInterface(IID_IContextMenu, notMenu));
}

class ClassObjectTest : public RegistrationTest {
protected:
    CComPtr<IClassFactory> Factory(REFCLSID clsid)
    {
        CComPtr<IClassFactory> factory;
        EXPECT_EQ(S_OK, m_getClassObject(clsid, IID_IClassFactory, factory.ReceiveVoid()));
        return factory;
    }
};

TEST_F(ClassObjectTest, ForeignClassesAndNullPointersAreRefused)
{
    CComPtr<IClassFactory> factory;
    EXPECT_EQ(CLASS_E_CLASSNOTAVAILABLE, m_getClassObject(CLSID_ShellLink, IID_IClassFactory, factory.ReceiveVoid()));
    EXPECT_EQ(nullptr, factory.Get());
    factory = Factory(CLSID_MorvaneMenuHandler);
    ASSERT_TRUE(factory);
    EXPECT_EQ(E_POINTER, factory->CreateInstance(nullptr, IID_IContextMenu, nullptr));
    void* object = reinterpret_cast<void*>(1);
    EXPECT_EQ(E_NOINTERFACE, factory->CreateInstance(nullptr, IID_ILogger, &object));
    EXPECT_EQ(nullptr, object);
}

TEST_F(ClassObjectTest, TheClassObjectIsCached)
{
    CComPtr<IClassFactory> first = Factory(CLSID_MorvaneLogger);
    CComPtr<IClassFactory> second = Factory(CLSID_MorvaneLogger);
    EXPECT_EQ(first.Get(), second.Get());
}

// An outer object that counts the references its inner part passes on to it.
class COuter : public IUnknown {
public:
    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override
    {
        if (IsEqualIID(riid, IID_IUnknown)) {
            *ppv = this;
            AddRef();
            return S_OK;
        }
        return inner ? inner->QueryInterface(riid, ppv) : E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return ++refs; }
    STDMETHODIMP_(ULONG) Release() override { return --refs; }
    ULONG refs = 1;
    IUnknown* inner = nullptr;
};

TEST_F(ClassObjectTest, TheHandlerRefusesAggregationAndTheLoggerJoinsIt)
{
    COuter outer;
    void* object = reinterpret_cast<void*>(1);
    EXPECT_EQ(CLASS_E_NOAGGREGATION, Factory(CLSID_MorvaneMenuHandler)->CreateInstance(&outer, IID_IUnknown, &object));
    EXPECT_EQ(nullptr, object);

    CComPtr<IUnknown> inner;
    ASSERT_EQ(S_OK, Factory(CLSID_MorvaneLogger)->CreateInstance(&outer, IID_IUnknown, inner.ReceiveVoid()));
    outer.inner = inner;
    ULONG before = outer.refs;
    CComPtr<IUnknown> logger;
    ASSERT_EQ(S_OK, inner.QueryInterface(IID_ILogger, logger));
    EXPECT_EQ(before + 1, outer.refs);  // the part's interface counts on the outer object
    CComPtr<IUnknown> outerUnknown;
    EXPECT_EQ(S_OK, logger.QueryInterface(IID_IUnknown, outerUnknown));
    EXPECT_EQ(static_cast<IUnknown*>(&outer), outerUnknown.Get());
    outerUnknown.Release();
    logger.Release();
    EXPECT_EQ(before, outer.refs);
    outer.inner = nullptr;
}

TEST_F(ClassObjectTest, UnloadIsAllowedOnlyWithoutObjectsAndLocks)
{
    EXPECT_EQ(S_OK, m_canUnload());
    CComPtr<IContextMenu> menu;
    ASSERT_EQ(S_OK, Factory(CLSID_MorvaneMenuHandler)->CreateInstance(nullptr, IID_IContextMenu, menu.ReceiveVoid()));
    CComPtr<IUnknown> logger;
    ASSERT_EQ(S_OK, Factory(CLSID_MorvaneLogger)->CreateInstance(nullptr, IID_ILogger, logger.ReceiveVoid()));
    EXPECT_EQ(S_FALSE, m_canUnload());
    menu.Release();
    EXPECT_EQ(S_FALSE, m_canUnload());
    logger.Release();
    EXPECT_EQ(S_OK, m_canUnload());
}

TEST_F(ClassObjectTest, AHeldClassObjectKeepsTheModuleButTheCacheDoesNot)
{
    CComPtr<IClassFactory> factory = Factory(CLSID_MorvaneMenuHandler);
    ASSERT_TRUE(factory);
    EXPECT_EQ(S_FALSE, m_canUnload());
    CComPtr<IClassFactory> again = Factory(CLSID_MorvaneMenuHandler);
    factory.Release();
    EXPECT_EQ(S_FALSE, m_canUnload());
    again.Release();
    EXPECT_EQ(S_OK, m_canUnload());  // only the cache holds it now
    CComPtr<IUnknown> unknown;
    ASSERT_EQ(S_OK, m_getClassObject(CLSID_MorvaneLogger, IID_IUnknown, unknown.ReceiveVoid()));
    EXPECT_EQ(S_FALSE, m_canUnload());
    unknown.Release();
    EXPECT_EQ(S_OK, m_canUnload());
    // A refused interface hands out nothing and holds nothing.
    CComPtr<IUnknown> none;
    EXPECT_EQ(E_NOINTERFACE, m_getClassObject(CLSID_MorvaneLogger, IID_IContextMenu, none.ReceiveVoid()));
    EXPECT_EQ(S_OK, m_canUnload());
}

TEST_F(ClassObjectTest, LockServerCountsAndAStrayUnlockReleasesNothing)
{
    CComPtr<IClassFactory> factory = Factory(CLSID_MorvaneMenuHandler);
    ASSERT_TRUE(factory);
    EXPECT_EQ(S_OK, factory->LockServer(TRUE));
    EXPECT_EQ(S_OK, factory->LockServer(TRUE));
    factory.Release();
    EXPECT_EQ(S_FALSE, m_canUnload());
    EXPECT_EQ(S_OK, Factory(CLSID_MorvaneMenuHandler)->LockServer(FALSE));
    EXPECT_EQ(S_FALSE, m_canUnload());
    EXPECT_EQ(S_OK, Factory(CLSID_MorvaneMenuHandler)->LockServer(FALSE));
    EXPECT_EQ(S_OK, m_canUnload());

    // Unlocks without locks while a handler lives: the handler still keeps the module.
    CComPtr<IContextMenu> menu;
    ASSERT_EQ(S_OK, Factory(CLSID_MorvaneMenuHandler)->CreateInstance(nullptr, IID_IContextMenu, menu.ReceiveVoid()));
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(S_OK, Factory(CLSID_MorvaneMenuHandler)->LockServer(FALSE));
    EXPECT_EQ(S_FALSE, m_canUnload());
    menu.Release();
    EXPECT_EQ(S_OK, m_canUnload());
    EXPECT_EQ(S_OK, Factory(CLSID_MorvaneMenuHandler)->LockServer(TRUE));
    EXPECT_EQ(S_FALSE, m_canUnload());
    EXPECT_EQ(S_OK, Factory(CLSID_MorvaneMenuHandler)->LockServer(FALSE));
    EXPECT_EQ(S_OK, m_canUnload());
}

}
