#include "Settings.h"
#include <new>

const WCHAR kSettingsKey[] = L"SOFTWARE\\Zeph\\Morvane";
const WCHAR kValueOptions[] = L"Options";
const WCHAR kValueQuickExts[] = L"QuickExts";
const WCHAR kValueMultipleSelections[] = L"MultipleSelections";
const WCHAR kValueWidths[] = L"Widths";

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
