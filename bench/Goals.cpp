#include "Goals.h"
#include <stdio.h>

namespace {

const Goal kGoals[] = {
    { Figure::FullMenu, L"full menu on a compound document", 1.15 },
    { Figure::CommandTree, L"Windows 11 command tree against the classic menu", 1.10 },
    { Figure::SimpleMenu, L"simple menu on 1,000 and 10,000 files", 1.5 },
    { Figure::Rename, L"quick-extension rename of 1,000 files", 1.10 },
    { Figure::TypePage, L"Type page opened and cancelled, icons off and on", 1.2 },
    { Figure::ModuleSize, L"size of Morvane.dll against 120 KB", 1.0 },
};
static_assert(sizeof(kGoals) / sizeof(kGoals[0]) == size_t(Figure::Count), "one goal for each figure");

}

const Goal& GoalOf(Figure figure)
{
    for (const Goal& goal : kGoals)
        if (goal.figure == figure)
            return goal;
    return kGoals[0];
}

void PrintGoals()
{
    wprintf(L"goals (the most each ratio may be):\n");
    for (const Goal& goal : kGoals)
        wprintf(L"  %-52ls <= %.2f\n", goal.name, goal.most);
}
