#include "InfoSheet.h"
#include "AboutPage.h"
#include "AttrPage.h"
#include "LinkPage.h"
#include "OptionsPage.h"
#include "PropertySheet.h"
#include "Settings.h"
#include "SummaryPage.h"
#include "TypePage.h"
#include "DialogMessageBox.h"

namespace {

const int kAbortResult = 3;

// The pages in the order the sheet's tabs show them, each with the command's page it stands for.
struct SheetPages {
    explicit SheetPages(Parameters& parameters)
        : type(parameters), attributes(parameters), shortcut(parameters), summary(parameters), about(parameters),
          options(parameters) {}

    CTypePage type;
    CAttrPage attributes;
    CLinkPage shortcut;
    CSummaryPage summary;
    CAboutPage about;
    COptionsPage options;
};

// Adds the pages that apply to the files; returns the tab index of the start page (0 when that
// page is not shown).
UINT AddPages(CPropertySheet& sheet, SheetPages& pages, CFileList& files, InfoPage startPage)
{
    bool single = files.GetSize() == 1;
    struct Entry {
        CPropertyPage& page;
        InfoPage id;
        bool shown;
    } entries[] = {
        { pages.type, InfoPage::Type, true },
        { pages.attributes, InfoPage::Attributes, true },
        { pages.shortcut, InfoPage::Shortcut, single && files.IsShortcut(0) },
        { pages.summary, InfoPage::Summary, single && IsNt5OrLater() },
        { pages.options, InfoPage::Options, true },
        { pages.about, InfoPage::About, true },
    };
    UINT start = 0;
    for (Entry& entry : entries) {
        if (!entry.shown)
            continue;
        if (single && entry.id == startPage)
            start = UINT(sheet.GetPageCount());
        sheet.AddPage(entry.page);
    }
    return start;
}

CString SheetCaption(CFileList& files)
{
    if (files.GetSize() != 1)
        return CString(L"Multiple selection file information");
    CString caption = files.ElementAt(0).m_name;
    caption += L" File Information";
    return caption;
}

void PresentSheet(Parameters& parameters, InfoPage startPage, HWND parent)
{
    CFileList* files = parameters.GetFileList();
    if (!files || files->GetSize() == 0)
        return;
    // The Type page's list of types is the slow part of opening on it: its walk starts now and goes
    // on while the sheet and its pages are created.
    if (startPage == InfoPage::Type || files->GetSize() != 1)
        parameters.BeginExtList();
    // Every page is built whatever is shown: the Type and Attributes pages read the list here.
    SheetPages pages(parameters);
    CString caption = SheetCaption(*files);
    CPropertySheet sheet(caption, parent);
    sheet.SetActivePage(AddPages(sheet, pages, *files, startPage));
    INT_PTR result = sheet.DoModal();
    if (result == -1)
        ShowMessageBox(parent, L"Could not create dialog", nullptr, MB_OK | MB_ICONEXCLAMATION);
    else if (result == kAbortResult)
        ShowMessageBox(parent, L"Aborted during create of dialog", nullptr, MB_OK | MB_ICONEXCLAMATION);
}

InfoSheetPresenter g_presenter = &PresentSheet;

}

void ShowInfoSheet(Parameters& parameters, InfoPage startPage, HWND parent)
{
    g_presenter(parameters, startPage, parent);
}

InfoSheetPresenter SetInfoSheetPresenter(InfoSheetPresenter presenter)
{
    InfoSheetPresenter previous = g_presenter;
    g_presenter = presenter ? presenter : &PresentSheet;
    return previous;
}
