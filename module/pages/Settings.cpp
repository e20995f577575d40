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

Parameters::~Parameters()
{
    FinishExtList();
}

DWORD Parameters::CurrentOptions()
{
    DWORD options = DefaultOptions;
    if (Options* settings = GetOptions())
        settings->ReadDword(kValueOptions, options);
    return options;
}

CExtList* Parameters::GetExtList()
{
    FinishExtList();
    if (!m_extList)
        m_extList.reset(new (std::nothrow) CExtList(CurrentOptions()));
    return m_extList.get();
}

void Parameters::BeginExtList()
{
    if (m_extList || m_extListBuilder.IsValid())
        return;
    m_extListOptions = CurrentOptions();
    m_extListBuilder.Attach(::CreateThread(nullptr, 0, &Parameters::BuildExtList, this, 0, nullptr));
}

DWORD WINAPI Parameters::BuildExtList(void* self)
{
    CComInit com(COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    auto* parameters = static_cast<Parameters*>(self);
    parameters->m_extList.reset(new (std::nothrow) CExtList(parameters->m_extListOptions));
    return 0;
}

void Parameters::FinishExtList()
{
    if (!m_extListBuilder.IsValid())
        return;
    ::WaitForSingleObject(m_extListBuilder, INFINITE);
    m_extListBuilder.Close();
}
