#include "AboutPage.h"
#include "AboutPageRes.h"

namespace {

const WCHAR kVersion[] = L"1.93";
const WCHAR kMailTarget[] = L"mailto:support@zeph.example?Subject=Morvane 1.93";
const WCHAR kSiteTarget[] = L"https://zeph.example/";
const WCHAR kProductTarget[] = L"https://zeph.example/morvane/";

CString LoadResourceString(UINT id)
{
    // With no buffer, LoadString hands out the resource's own read-only text and its length.
    LPCWSTR text = nullptr;
    int length = ::LoadStringW(CDialogWindow::ResourceInstance(), id, reinterpret_cast<LPWSTR>(&text), 0);
    return length > 0 && text ? CString(text, length) : CString();
}

}

CAboutPage::CAboutPage(Parameters&) : CPropertyPage(IDD_ABOUTPAGE), m_notice(LoadResourceString(IDS_ABOUT_NOTICE))
{
}

void CAboutPage::DoDataExchange(CDataExchange& exchange)
{
    exchange.Text(IDC_ABOUT_NOTICE, m_notice);
    exchange.Control(IDC_ABOUT_TITLE, m_title);
}

BOOL CAboutPage::OnInitDialog()
{
    CPropertyPage::OnInitDialog();
    ShowVersionInTitle();
    MakeTitleBold();
    m_mailLink.Attach(m_hwnd, IDC_ABOUT_MAIL, kMailTarget);
    m_siteLink.Attach(m_hwnd, IDC_ABOUT_SITE, kSiteTarget);
    m_productLink.Attach(m_hwnd, IDC_ABOUT_PRODUCTPAGE, kProductTarget);
    return TRUE;
}

void CAboutPage::ShowVersionInTitle()
{
    CString title;
    if (title.Format(WindowText(m_title), kVersion))
        ::SetWindowTextW(m_title, title);
}

void CAboutPage::MakeTitleBold()
{
    HFONT font = reinterpret_cast<HFONT>(::SendMessageW(m_hwnd, WM_GETFONT, 0, 0));
    LOGFONTW face = {};
    if (!m_title || !font || !::GetObjectW(font, sizeof(face), &face))
        return;
    face.lfWeight = (face.lfWeight ? face.lfWeight : FW_NORMAL) * 2;
    if (face.lfWeight > 1000)
        face.lfWeight = 1000;
    m_titleFont.Attach(::CreateFontIndirectW(&face));
    if (m_titleFont.IsValid())
        ::SendMessageW(m_title, WM_SETFONT, reinterpret_cast<WPARAM>(m_titleFont.Get()), TRUE);
}
