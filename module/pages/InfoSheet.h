// The tabbed file-information sheet, opened modally by the dialog commands of the menu.
#pragma once
#include <windows.h>

class Parameters;

// The page the sheet opens on.
enum class InfoPage { Type, Attributes, Shortcut, Summary, Options, About };

// Shows the sheet for the handler's files and settings, starting on the given page; returns when
// the sheet is closed.
void ShowInfoSheet(Parameters& parameters, InfoPage startPage, HWND parent);

// What ShowInfoSheet runs. Tests put their own in to see which page and owner a command chose;
// returns the one it replaces.
using InfoSheetPresenter = void (*)(Parameters& parameters, InfoPage startPage, HWND parent);
InfoSheetPresenter SetInfoSheetPresenter(InfoSheetPresenter presenter);
