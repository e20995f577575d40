// The tabbed file-information sheet, opened modally by the dialog commands of the menu.
#pragma once
#include <windows.h>

class Parameters;

// The page the sheet opens on.
enum class InfoPage { Type, Attributes, Shortcut, Summary, Options, About };

// Shows the sheet for the handler's files and settings, starting on the given page; returns when
// the sheet is closed.
void ShowInfoSheet(Parameters& parameters, InfoPage startPage, HWND parent);

// What ShowInfoSheet runs: the real sheet, unless a test puts its own in to see which page and owner
// a command chose; null restores the sheet. Returns the one it replaces.
using InfoSheetPresenter = void (*)(Parameters& parameters, InfoPage startPage, HWND parent);
InfoSheetPresenter SetInfoSheetPresenter(InfoSheetPresenter presenter);
