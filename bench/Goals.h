// The goals the benchmark compares its figures against, in one table: the output prints them from
// here, and README's table of goals lists the same rows. A new figure adds its row here.
#pragma once

enum class Figure {
    FullMenu,
    CommandTree,
    SimpleMenu,
    Rename,
    TypePage,
    ModuleSize,
    Count
};

struct Goal {
    Figure figure;
    const wchar_t* name;
    double most;  // the highest ratio against the figure's floor (for the size: against kModuleGoalBytes)
};

const Goal& GoalOf(Figure figure);
// Every goal, one line each.
void PrintGoals();
