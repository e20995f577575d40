#include "Settings.h"
#include "RegistryString.h"
#include <shlwapi.h>
#include <new>

const WCHAR kSettingsKey[] = L"SOFTWARE\\Zeph\\Morvane";
const WCHAR kValueOptions[] = L"Options";
const WCHAR kValueQuickExts[] = L"QuickExts";
const WCHAR kValueMultipleSelections[] = L"MultipleSelections";
const WCHAR kValueWidths[] = L"Widths";

LONG CRegKey2::ReadDword(LPCWSTR name, DWORD& value) const
{
    DWORD type = 0, data = 0, size = 0;
    LONG err = ::RegQueryValueExW(m_key, name, nullptr, &type, nullptr, &size);
    if (err != ERROR_SUCCESS)
        return err;
    if (type != REG_DWORD || size != sizeof(data))
        return ERROR_INVALID_DATA;
    err = ::RegQueryValueExW(m_key, name, nullptr, &type, reinterpret_cast<BYTE*>(&data), &size);
    if (err != ERROR_SUCCESS)
        return err;
    if (type != REG_DWORD)
        return ERROR_INVALID_DATA;
    value = data;
    return ERROR_SUCCESS;
}

LONG CRegKey2::ReadString(LPCWSTR name, CString& text) const
{
    return ReadRegistryString(m_key, name, text, RegistryText::Exact);
}

LONG CRegKey2::WriteDword(LPCWSTR name, DWORD value)
{
    return ::RegSetValueExW(m_key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof(value));
}

LONG CRegKey2::WriteString(LPCWSTR name, LPCWSTR text)
{
    return WriteRegistryString(m_key, name, text);
}

LONG CRegKey2::OpenKey(HKEY parent, LPCWSTR subKey, REGSAM access)
{
    HKEY key = nullptr;
    LONG err = ::RegOpenKeyExW(parent, subKey, 0, access, &key);
    if (err == ERROR_SUCCESS)
        m_key.Attach(key);
    return err;
}

LONG CRegKey2::CreateKey(HKEY parent, LPCWSTR subKey, REGSAM access)
{
    HKEY key = nullptr;
    LONG err = ::RegCreateKeyExW(parent, subKey, 0, nullptr, REG_OPTION_NON_VOLATILE, access, nullptr, &key, nullptr);
    if (err == ERROR_SUCCESS)
        m_key.Attach(key);
    return err;
}

LONG CRegKey2::DeleteTree(LPCWSTR subKey)
{
    if (!IsOpen())
        return ERROR_INVALID_HANDLE;
    return LONG(::SHDeleteKeyW(m_key, subKey));
}

Options::Options()
{
    CreateKey(HKEY_CURRENT_USER, kSettingsKey, KEY_READ | KEY_WRITE);
}

bool LoadOptions(Options* settings, OptionsState& state)
{
    if (!settings)
        return false;
    state.options = DefaultOptions;
    settings->ReadDword(kValueOptions, state.options);
    settings->ReadString(kValueQuickExts, state.quickExts);
    return true;
}

bool SaveOptions(Options* settings, const OptionsState& state)
{
    if (!settings)
        return true;
    settings->WriteDword(kValueOptions, state.options & kMeaningfulOptions);
    settings->WriteString(kValueQuickExts, state.quickExts);
    return true;
}

Options* Parameters::GetOptions()
{
    if (!m_options)
        m_options.reset(new (std::nothrow) Options());
    return m_options.get();
}

CFileList* Parameters::GetFileList(IDataObject* selection)
{
    if (selection) {
        m_fileList.reset();
        m_fileList.reset(new (std::nothrow) CFileList(selection));
    }
    return m_fileList.get();
}

CExtList* Parameters::GetExtList()
{
    if (!m_extList) {
        DWORD options = DefaultOptions;
        if (Options* settings = GetOptions())
            settings->ReadDword(kValueOptions, options);
        m_extList.reset(new (std::nothrow) CExtList(options));
    }
    return m_extList.get();
}
