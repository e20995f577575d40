#include "TypePage.h"
#include "ExtList.h"
#include "Rename.h"
#include "Settings.h"
#include "TypePageRes.h"
#include "DialogMessageBox.h"
#include <shellapi.h>

namespace {

const int kDefaultExtWidth = 64;
const int kTypeWidthMargin = 80;
const WCHAR kInvalidExtension[] = L"Invalid extension specified.";

bool IsBlank(WCHAR c)
{
    return c == L' ' || c == L'\t' || c == L'\r' || c == L'\n' || c == L'\v' || c == L'\f';
}

bool IsValidExtension(const CString& text)
{
    return text == L"*" || !HasCharNotAllowedInTypedExtension(text);
}

// Reads up to three numbers as "%d,%d,%d" would: each may follow blanks and carry a sign; the
// first that cannot be read ends the parse and it and the rest keep what they held.
void ParseWidths(LPCWSTR text, int widths[3])
{
    for (int i = 0; i < 3; ++i) {
        if (i > 0 && *text++ != L',')
            return;
        while (IsBlank(*text))
            ++text;
        bool negative = *text == L'-';
        if (*text == L'-' || *text == L'+')
            ++text;
        if (*text < L'0' || *text > L'9')
            return;
        long long value = 0;
        for (; *text >= L'0' && *text <= L'9'; ++text)
            if (value < 0x7FFFFFFF)
                value = value * 10 + (*text - L'0');
        if (value > 0x7FFFFFFF)
            value = 0x7FFFFFFF;
        widths[i] = int(negative ? -value : value);
    }
}

int CALLBACK CompareRecords(LPARAM a, LPARAM b, LPARAM list)
{
    return reinterpret_cast<const CExtList*>(list)->Compare(int(a), int(b));
}

}

CTypePage::CTypePage(Parameters& parameters)
    : CPropertyPage(IDD_TYPEPAGE), m_parameters(parameters), m_files(parameters.GetFileList()), m_baseline(L"*")
{
    if (!m_files || m_files->GetSize() == 0)
        return;
    const CString& first = m_files->ElementAt(0).m_extension;
    m_text = first.IsEmpty() ? CString() : first.Mid(1);
    for (int i = 1; i < m_files->GetSize(); ++i) {
        if (m_files->ElementAt(i).m_extension != first) {
            m_text = L"*";
            break;
        }
    }
}

void CTypePage::DoDataExchange(CDataExchange& exchange)
{
    exchange.Control(IDC_TYPE_EXTENSION, m_edit);
    exchange.Control(IDC_TYPE_LIST, m_list);
    exchange.Text(IDC_TYPE_EXTENSION, m_text);
}

BOOL CTypePage::OnInitDialog()
{
    m_types = m_parameters.GetExtList();
    BOOL result = CPropertyPage::OnInitDialog();
    m_menu.Attach(::LoadMenuW(ResourceInstance(), MAKEINTRESOURCEW(IDR_TYPE_MENU)));
    ::SetWindowLongPtrW(m_list, GWL_STYLE, ::GetWindowLongPtrW(m_list, GWL_STYLE) | LVS_SHOWSELALWAYS);

    RECT client = {};
    ::GetClientRect(m_list, &client);
    int widths[3] = { client.right - client.left - kTypeWidthMargin, kDefaultExtWidth, kDefaultExtWidth };
    DWORD options = DefaultOptions;
    if (Options* settings = m_parameters.GetOptions()) {
        CString stored;
        if (settings->ReadString(kValueWidths, stored) == ERROR_SUCCESS)
            ParseWidths(stored, widths);
        settings->ReadDword(kValueOptions, options);
    }
    if (options & OptTypeIcons)
        AttachIcons();
    InsertColumns(widths);
    FillList();

    if (m_types) {
        int item = ItemOfRecord(m_types->Find(m_text));
        if (item >= 0) {
            SelectItem(item);
            m_selected = item;
        }
    }
    return result;
}

void CTypePage::AttachIcons()
{
    SHFILEINFOW info = {};
    HIMAGELIST icons = reinterpret_cast<HIMAGELIST>(
        ::SHGetFileInfoW(L".", 0, &info, sizeof(info), SHGFI_SYSICONINDEX | SHGFI_SMALLICON));
    if (!icons)
        return;
    m_icons = icons;
    ListView_SetImageList(m_list, m_icons, LVSIL_SMALL);
}

void CTypePage::InsertColumns(const int widths[3])
{
    const LPCWSTR titles[] = { L"Type", L"Ext" };
    for (int column = 0; column < 2; ++column) {
        LVCOLUMNW header = {};
        header.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
        header.fmt = LVCFMT_LEFT;
        header.cx = widths[column];
        header.pszText = const_cast<LPWSTR>(titles[column]);
        header.iSubItem = column;
        ::SendMessageW(m_list, LVM_INSERTCOLUMNW, column, reinterpret_cast<LPARAM>(&header));
    }
}

void CTypePage::FillList()
{
    ListView_DeleteAllItems(m_list);
    if (!m_types)
        return;
    // The control's own ascending sort would compare each insertion with every item before it:
    // the items go in unsorted and undrawn, and are put in the same order once at the end.
    LONG_PTR style = ::GetWindowLongPtrW(m_list, GWL_STYLE);
    ::SetWindowLongPtrW(m_list, GWL_STYLE, style & ~LONG_PTR(LVS_SORTASCENDING));
    ::SendMessageW(m_list, WM_SETREDRAW, FALSE, 0);
    ListView_SetItemCount(m_list, m_types->GetSize());
    for (int i = 0; i < m_types->GetSize(); ++i) {
        const CExtList::CExtInfo& record = m_types->ElementAt(i);
        LVITEMW item = {};
        item.mask = LVIF_TEXT | LVIF_PARAM | (m_icons ? LVIF_IMAGE : 0);
        item.iItem = i;  // at the end
        item.pszText = const_cast<LPWSTR>(record.m_typeName.GetString());
        item.lParam = i;
        item.iImage = record.m_icon;
        int index = int(::SendMessageW(m_list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
        if (index < 0)
            continue;
        LVITEMW extension = {};
        extension.iSubItem = 1;
        extension.pszText = const_cast<LPWSTR>(record.m_extension.GetString());
        ::SendMessageW(m_list, LVM_SETITEMTEXTW, index, reinterpret_cast<LPARAM>(&extension));
    }
    if (style & LVS_SORTASCENDING) {
        m_types->SetSortMode(CExtList::kSortAscending);  // by type name
        ListView_SortItems(m_list, CompareRecords, reinterpret_cast<LPARAM>(m_types));
    }
    ::SetWindowLongPtrW(m_list, GWL_STYLE, style);
    ::SendMessageW(m_list, WM_SETREDRAW, TRUE, 0);
}

int CTypePage::ItemOfRecord(int record) const
{
    if (record < 0)
        return -1;
    LVFINDINFOW find = {};
    find.flags = LVFI_PARAM;
    find.lParam = record;
    return int(::SendMessageW(m_list, LVM_FINDITEMW, WPARAM(-1), reinterpret_cast<LPARAM>(&find)));
}

int CTypePage::RecordOfItem(int item) const
{
    LVITEMW data = {};
    data.mask = LVIF_PARAM;
    data.iItem = item;
    if (item < 0 || !::SendMessageW(m_list, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&data)))
        return -1;
    return int(data.lParam);
}

void CTypePage::SelectItem(int item)
{
    ListView_SetItemState(m_list, item, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    ListView_EnsureVisible(m_list, item, FALSE);
}

void CTypePage::OnExtensionChanged()
{
    SetModified();
    CString text = GetItemText(IDC_TYPE_EXTENSION);
    int dots = 0;
    while (text[dots] == L'.')
        ++dots;
    if (dots > 0) {
        // Every leading dot goes at once: setting the text raises this notification again, once,
        // and a run of dots must not nest one notification per dot.
        SetItemText(IDC_TYPE_EXTENSION, text.Mid(dots));
        return;
    }
    int item = -1;
    if (!text.IsEmpty() && m_types)
        item = ItemOfRecord(m_types->Find(text));
    if (item >= 0) {
        // Selecting puts the extension into the edit as the registry spells it; an item that was
        // selected already raises no notification, so the spelling is taken over here as well.
        SelectItem(item);
        const CString& spelling = m_types->ElementAt(RecordOfItem(item)).m_extension;
        if (text != spelling) {
            SetItemText(IDC_TYPE_EXTENSION, spelling);
        }
        int length = ::GetWindowTextLengthW(m_edit);
        ::SendMessageW(m_edit, EM_SETSEL, length, length);
    } else if (m_selected >= 0) {
        ListView_SetItemState(m_list, m_selected, 0, LVIS_SELECTED);
    }
    m_selected = item;
}

void CTypePage::OnItemChanged(const NMLISTVIEW& change)
{
    if (!(change.uChanged & LVIF_STATE))
        return;
    if (change.uNewState & LVIS_SELECTED) {
        m_selected = change.iItem;
        m_text = m_types ? m_types->ElementAt(RecordOfItem(change.iItem)).m_extension : CString();
        SetModified();
        SetItemText(IDC_TYPE_EXTENSION, m_text);
    } else if (change.uOldState & LVIS_SELECTED) {
        m_selected = -1;
    }
}

void CTypePage::OnColumnClick(int column)
{
    if (!m_types || column < 0 || column > 2)
        return;
    DWORD mode = DWORD(column) + ((::GetKeyState(VK_SHIFT) < 0) ? CExtList::kSortDescending : CExtList::kSortAscending);
    m_types->SetSortMode(mode);
    ListView_SortItems(m_list, CompareRecords, reinterpret_cast<LPARAM>(m_types));
    // Sorting moves the items: the selection is wherever its record went.
    m_selected = ListView_GetNextItem(m_list, -1, LVNI_SELECTED);
}

void CTypePage::ShowTypesMenu()
{
    HMENU popup = ::GetSubMenu(m_menu, 0);
    if (!popup)
        return;
    bool registered = m_selected >= 0 && m_types && m_types->IsRegistered(RecordOfItem(m_selected));
    ::CheckMenuItem(popup, ID_TYPE_REGISTER, MF_BYCOMMAND | (registered ? MF_CHECKED : MF_UNCHECKED));
    POINT cursor = {};
    ::GetCursorPos(&cursor);
    ::TrackPopupMenu(popup, TPM_LEFTALIGN | TPM_LEFTBUTTON, cursor.x, cursor.y, 0, m_hwnd, nullptr);
}

void CTypePage::ToggleRegistration()
{
    if (m_selected < 0 || !m_types)
        return;
    int record = RecordOfItem(m_selected);
    m_types->SetRegistered(record, !m_types->IsRegistered(record));
}

bool CTypePage::OnKillActive()
{
    CString text = GetItemText(IDC_TYPE_EXTENSION).Trimmed();
    if (!IsValidExtension(text)) {
        ShowMessageBox(m_hwnd, kInvalidExtension, nullptr, MB_OK);
        return false;
    }
    if (text != L"*" && m_files && !m_files->FitsExtension(text)) {
        ShowMessageBox(m_hwnd, kNameTooLong, nullptr, MB_OK);
        return false;
    }
    if (!CPropertyPage::OnKillActive())
        return false;
    // The text applied is the one just checked, without the blanks around it.
    m_text = text;
    return true;
}

void CTypePage::SaveWidths()
{
    Options* settings = m_parameters.GetOptions();
    if (!settings)
        return;
    // One width carried from column to column: the missing third column repeats the second.
    int widths[3] = {};
    int width = 0;
    for (int column = 0; column < 3; ++column) {
        int queried = ListView_GetColumnWidth(m_list, column);
        if (queried)
            width = queried;
        widths[column] = width;
    }
    CString text;
    if (text.Format(L"%d,%d,%d", widths[0], widths[1], widths[2]))
        settings->WriteString(kValueWidths, text);
}

void CTypePage::OnOK()
{
    UpdateData(false);
    SaveWidths();
    if (m_text == m_baseline || !m_files)
        return;
    m_files->ReplaceExtension(m_hwnd, m_text);
    PostCancelToClose();
    m_baseline = m_text;
}

void CTypePage::OnDestroy()
{
    if (m_icons) {
        ListView_SetImageList(m_list, nullptr, LVSIL_SMALL);
        m_icons = nullptr;
    }
    m_menu.Close();
    m_edit = nullptr;
    m_list = nullptr;
    m_selected = -1;
}

bool CTypePage::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    switch (message) {
    case WM_CONTEXTMENU:
        ShowTypesMenu();
        result = 0;
        return true;
    case WM_DESTROY: {
        bool handled = CPropertyPage::OnMessage(message, wParam, lParam, result);
        OnDestroy();
        return handled;
    }
    }
    return CPropertyPage::OnMessage(message, wParam, lParam, result);
}

bool CTypePage::OnCommand(UINT id, UINT code, HWND control)
{
    if (id == IDC_TYPE_EXTENSION && code == EN_CHANGE) {
        OnExtensionChanged();
        return true;
    }
    if (id == ID_TYPE_REGISTER && !control) {
        ToggleRegistration();
        return true;
    }
    return CPropertyPage::OnCommand(id, code, control);
}

bool CTypePage::OnNotify(NMHDR* header, LRESULT& result)
{
    if (header && header->idFrom == IDC_TYPE_LIST && header->hwndFrom == m_list) {
        switch (header->code) {
        case LVN_ITEMCHANGED:
            OnItemChanged(*reinterpret_cast<NMLISTVIEW*>(header));
            result = 0;
            return true;
        case LVN_COLUMNCLICK:
            OnColumnClick(reinterpret_cast<NMLISTVIEW*>(header)->iSubItem);
            result = 0;
            return true;
        case NM_RCLICK:
            // Nonzero: the list would otherwise raise WM_CONTEXTMENU as well, and the menu twice.
            ShowTypesMenu();
            result = TRUE;
            return true;
        }
    }
    return CPropertyPage::OnNotify(header, result);
}
