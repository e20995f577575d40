#include "InfoSheet.h"

namespace {

// The sheet and its pages are not built yet: the commands that open it show nothing.
void PresentNothing(Parameters&, InfoPage, HWND)
{
}

InfoSheetPresenter g_presenter = &PresentNothing;

}

void ShowInfoSheet(Parameters& parameters, InfoPage startPage, HWND parent)
{
    g_presenter(parameters, startPage, parent);
}

InfoSheetPresenter SetInfoSheetPresenter(InfoSheetPresenter presenter)
{
    InfoSheetPresenter previous = g_presenter;
    g_presenter = presenter ? presenter : &PresentNothing;
    return previous;
}
