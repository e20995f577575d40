// The tabbed file-information sheet, opened modally by the dialog commands of the menu.
#pragma once
#include <windows.h>

class Parameters;

// The page the sheet opens on.
enum class InfoPage { Type, Attributes, Shortcut, Summary, Options, About };

// Shows the sheet for the handler's files and settings, starting on the given page; returns when
// the sheet is closed.
void ShowInfoSheet(Parameters& parameters, InfoPage startPage, HWND parent);
