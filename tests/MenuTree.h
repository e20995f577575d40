// Renders a menu as indented text, one item a line, so tests compare whole menus at once.
#pragma once
#include <windows.h>
#include <string>

// Each line: the item's text in quotes (tabs as \t), "@n" for identifier first + n (offsets 0 to 55)
// or "id n" for others, then "popup", "grayed", "disabled", "checked", "default" as they apply;
// separators are "----"; a popup's items follow it, indented by two more blanks.
std::string RenderMenu(HMENU menu, UINT first);
