// Windows 11's first-level menu opens one flyout per application and no flyout inside it, and a
// flyout shows at most 16 entries. This draws that flyout from the classic menu's description:
// the entries a user reaches for first, as leaves, in groups between separators.
#pragma once
#include "MenuDescription.h"

const int kFlyoutMaxEntries = 16;

// flyout receives the classic menu's top entry: a plain command as it is, a popup as a flyout of
// chosen leaves. Empty when the classic menu is empty.
void DescribeFlyout(const CMenuDescription& classic, CMenuDescription& flyout);
