#include "OptionsPage.h"
#include "OptionsPageRes.h"
#include "Rename.h"
#include "Settings.h"
#include "DialogMessageBox.h"

namespace {

struct OptionBox {
    int id;
    DWORD bit;
};

// The check boxes in the order of m_checked.
const OptionBox kBoxes[COptionsPage::kBoxCount] = {
    { IDC_OPTIONS_ADDITIONALINFO, OptAdditionalInfo },
    { IDC_OPTIONS_FILEDETAILS, OptFileDetails },
    { IDC_OPTIONS_FILEDETAILS_SUB, OptFileDetailsSubmenu },
    { IDC_OPTIONS_COPYMENU, OptCopyMenu },
    { IDC_OPTIONS_COPYMENU_SUB, OptCopyMenuSubmenu },
    { IDC_OPTIONS_ATTRIBUTES, OptAttributes },
    { IDC_OPTIONS_ATTRIBUTES_SUB, OptAttributesSubmenu },
    { IDC_OPTIONS_SHORTCUTINFO, OptShortcutInfo },
    { IDC_OPTIONS_SHORTCUTINFO_SUB, OptShortcutInfoSubmenu },
    { IDC_OPTIONS_FILESUMMARY, OptFileSummary },
    { IDC_OPTIONS_FILESUMMARY_SUB, OptFileSummarySubmenu },
    { IDC_OPTIONS_OPTIONSMENU, OptOptionsMenu },
    { IDC_OPTIONS_ABOUTMENU, OptAboutMenu },
    { IDC_OPTIONS_TYPEICONS, OptTypeIcons },
    { IDC_OPTIONS_QUICKEXTS, OptQuickExts },
    { IDC_OPTIONS_QUICKEXTS_SUB, OptQuickExtsSubmenu },
};

// A group of menu items and the box that puts it in a submenu of its own.
struct DetailBox {
    int id;
    int submenuId;
};

const DetailBox kDetailBoxes[] = {
    { IDC_OPTIONS_ATTRIBUTES, IDC_OPTIONS_ATTRIBUTES_SUB },
    { IDC_OPTIONS_SHORTCUTINFO, IDC_OPTIONS_SHORTCUTINFO_SUB },
    { IDC_OPTIONS_COPYMENU, IDC_OPTIONS_COPYMENU_SUB },
    { IDC_OPTIONS_FILESUMMARY, IDC_OPTIONS_FILESUMMARY_SUB },
    { IDC_OPTIONS_FILEDETAILS, IDC_OPTIONS_FILEDETAILS_SUB },
};

const int kMaxQuickExts = 10;

}

COptionsPage::COptionsPage(Parameters& parameters) : CPropertyPage(IDD_OPTIONSPAGE), m_parameters(parameters)
{
}

void COptionsPage::DoDataExchange(CDataExchange& exchange)
{
    exchange.Control(IDC_OPTIONS_QUICKLIST, m_quickList);
    exchange.Control(IDC_OPTIONS_ADD, m_addButton);
    for (int i = 0; i < kBoxCount; ++i)
        exchange.Check(kBoxes[i].id, m_checked[i]);
}

BOOL COptionsPage::OnInitDialog()
{
    BOOL result = CPropertyPage::OnInitDialog();
    // The field is narrow and does not scroll: the edit control fits a typed or pasted text into it
    // character by character, which is slow for long texts. No extension is longer than a name.
    ::SendMessage(m_quickList, CB_LIMITTEXT, kMaxFileNameLength, 0);
    Reload();
    return result;
}

bool COptionsPage::OnCommand(UINT id, UINT code, HWND control)
{
    if (id == IDC_OPTIONS_QUICKLIST) {
        if (code == CBN_SELCHANGE)
            RefreshUpDown();
        else if (code == CBN_SETFOCUS || code == CBN_KILLFOCUS)
            ShowAddAsDefault(code == CBN_SETFOCUS);
        else
            return false;
        return true;
    }
    if (code != BN_CLICKED)
        return CPropertyPage::OnCommand(id, code, control);
    switch (id) {
    case IDC_OPTIONS_ADDITIONALINFO:
    case IDC_OPTIONS_QUICKEXTS:
    case IDC_OPTIONS_FILEDETAILS:
    case IDC_OPTIONS_COPYMENU:
    case IDC_OPTIONS_ATTRIBUTES:
    case IDC_OPTIONS_SHORTCUTINFO:
    case IDC_OPTIONS_FILESUMMARY:
        RefreshEnabling();
        return true;
    case IDC_OPTIONS_ADD:
        AddExtension();
        return true;
    case IDC_OPTIONS_REMOVE:
        RemoveExtension();
        return true;
    case IDC_OPTIONS_UP:
        MoveExtension(-1);
        return true;
    case IDC_OPTIONS_DOWN:
        MoveExtension(1);
        return true;
    case IDC_OPTIONS_SAVE:
        Save();
        return true;
    case IDC_OPTIONS_REFRESH:
        Reload();
        return true;
    }
    return CPropertyPage::OnCommand(id, code, control);
}

// Saving needs nothing of the sheet: the settings are the user's, not the files'.
void COptionsPage::OnOK()
{
    Save();
}

void COptionsPage::Reload()
{
    OptionsState state;
    state.quickExts = m_quickExts;
    if (LoadOptions(m_parameters.GetOptions(), state)) {
        for (int i = 0; i < kBoxCount; ++i)
            m_checked[i] = (state.options & kBoxes[i].bit) != 0;
        m_quickExts = state.quickExts;
    }
    UpdateData(false);
    RefreshEnabling();
    FillList();
    RefreshUpDown();
}

void COptionsPage::Save()
{
    UpdateData(true);
    m_quickExts = JoinList();
    OptionsState state;
    state.options = 0;
    for (int i = 0; i < kBoxCount; ++i) {
        if (m_checked[i])
            state.options |= kBoxes[i].bit;
    }
    state.quickExts = m_quickExts;
    SaveOptions(m_parameters.GetOptions(), state);
}

void COptionsPage::RefreshEnabling()
{
    const bool master = IsChecked(IDC_OPTIONS_ADDITIONALINFO);
    const bool quick = master && IsChecked(IDC_OPTIONS_QUICKEXTS);
    Enable(IDC_OPTIONS_OPTIONSMENU, master);
    Enable(IDC_OPTIONS_ABOUTMENU, master);
    for (const DetailBox& box : kDetailBoxes) {
        bool enabled = master && (box.id != IDC_OPTIONS_FILESUMMARY || IsNt5OrLater());
        Enable(box.id, enabled);
        Enable(box.submenuId, enabled && IsChecked(box.id));
    }
    Enable(IDC_OPTIONS_QUICKLIST, quick);
    Enable(IDC_OPTIONS_QUICKEXTS_SUB, quick);
    Enable(IDC_OPTIONS_ADD, quick);
    Enable(IDC_OPTIONS_REMOVE, quick);
    Enable(IDC_OPTIONS_QUICKEXTS, master);
    Enable(IDC_OPTIONS_TYPEICONS, master);
    RefreshUpDown();
}

void COptionsPage::RefreshUpDown()
{
    const int count = EntryCount();
    const int selected = SelectedEntry();
    const bool movable = selected >= 0 && count >= 2;
    Enable(IDC_OPTIONS_UP, movable && selected > 0);
    Enable(IDC_OPTIONS_DOWN, movable && selected < count - 1);
}

void COptionsPage::FillList()
{
    ::SendMessage(m_quickList, CB_RESETCONTENT, 0, 0);
    if (m_quickExts.IsEmpty())
        return;
    int start = 0;
    for (;;) {
        int end = m_quickExts.Find(L';', start);
        CString entry = m_quickExts.Mid(start, end < 0 ? -1 : end - start);
        ::SendMessage(m_quickList, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(entry.GetString()));
        if (end < 0)
            break;
        start = end + 1;
    }
}

CString COptionsPage::JoinList() const
{
    CString joined;
    const int count = EntryCount();
    for (int i = 0; i < count; ++i) {
        if (i)
            joined += L";";
        joined += EntryText(i);
    }
    return joined;
}

void COptionsPage::AddExtension()
{
    if (EntryCount() >= kMaxQuickExts) {
        ShowMessageBox(m_hwnd, L"A maximum of 10 extensions can be specified.");
        return;
    }
    CString typed = GetItemText(IDC_OPTIONS_QUICKLIST);
    typed.MakeLower();
    typed = typed.Trimmed();
    SetItemText(IDC_OPTIONS_QUICKLIST, typed);
    CString ext = typed[0] == L'.' ? typed.Mid(1) : typed;
    if (ext.IsEmpty())
        return;
    // ";" separates the stored entries: one typed would store two, or an empty one.
    if (HasCharNotAllowedInTypedExtension(ext) || ext.Find(L';') >= 0) {
        ShowMessageBox(m_hwnd, L"Invalid character in file extension.");
        return;
    }
    LRESULT index = ::SendMessage(m_quickList, CB_FINDSTRINGEXACT, WPARAM(-1), reinterpret_cast<LPARAM>(ext.GetString()));
    if (index == CB_ERR)
        index = ::SendMessage(m_quickList, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(ext.GetString()));
    if (index < 0)
        return;
    SetItemText(IDC_OPTIONS_QUICKLIST, L"");
    SelectEntry(int(index));
    RefreshUpDown();
}

void COptionsPage::RemoveExtension()
{
    const int selected = SelectedEntry();
    if (selected < 0)
        return;
    ::SendMessage(m_quickList, CB_DELETESTRING, WPARAM(selected), 0);
    SelectEntry(-1);
    RefreshUpDown();
}

void COptionsPage::MoveExtension(int step)
{
    const int selected = SelectedEntry();
    const int target = selected + step;
    if (selected < 0 || target < 0 || target >= EntryCount())
        return;
    CString text = EntryText(selected);
    ::SendMessage(m_quickList, CB_DELETESTRING, WPARAM(selected), 0);
    ::SendMessage(m_quickList, CB_INSERTSTRING, WPARAM(target), reinterpret_cast<LPARAM>(text.GetString()));
    SelectEntry(target);
    RefreshUpDown();
}

void COptionsPage::ShowAddAsDefault(bool isDefault)
{
    ::SendMessage(m_addButton, BM_SETSTYLE, isDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON, TRUE);
}

int COptionsPage::EntryCount() const
{
    LRESULT count = ::SendMessage(m_quickList, CB_GETCOUNT, 0, 0);
    return count < 0 ? 0 : int(count);
}

int COptionsPage::SelectedEntry() const
{
    LRESULT selected = ::SendMessage(m_quickList, CB_GETCURSEL, 0, 0);
    return selected < 0 ? -1 : int(selected);
}

CString COptionsPage::EntryText(int index) const
{
    CString text;
    LRESULT length = ::SendMessage(m_quickList, CB_GETLBTEXTLEN, WPARAM(index), 0);
    if (length <= 0)
        return text;
    LPWSTR buffer = text.GetBuffer(int(length));
    if (!buffer)
        return text;
    LRESULT copied = ::SendMessage(m_quickList, CB_GETLBTEXT, WPARAM(index), reinterpret_cast<LPARAM>(buffer));
    text.ReleaseBuffer(copied >= 0 && copied <= length ? int(copied) : 0);
    return text;
}

void COptionsPage::SelectEntry(int index)
{
    COMBOBOXINFO info = { sizeof(info) };
    if (::GetComboBoxInfo(m_quickList, &info) && info.hwndList)
        ::SendMessage(info.hwndList, LB_SETCURSEL, WPARAM(index), 0);
}
