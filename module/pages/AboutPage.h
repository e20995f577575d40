// The sheet's About page: the product's name, version and addresses.
#pragma once
#include "Holders.h"
#include "PropertyPage.h"
#include "StaticLink.h"

class Parameters;

class CAboutPage : public CPropertyPage {
public:
    explicit CAboutPage(Parameters& parameters);

protected:
    void DoDataExchange(CDataExchange& exchange) override;
    BOOL OnInitDialog() override;

private:
    void ShowVersionInTitle();
    void MakeTitleBold();

    HWND m_title = nullptr;
    CString m_notice;
    CGdiObject m_titleFont;
    CStaticLink m_mailLink;
    CStaticLink m_siteLink;
    CStaticLink m_productLink;
};
