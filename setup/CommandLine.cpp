#include "CommandLine.h"

namespace {
bool IsBlank(char c)
{
    return c == ' ' || c == '\t';
}
}

LPCSTR CommandLineArguments(LPCSTR commandLine)
{
    LPCSTR p = commandLine ? commandLine : "";
    if (*p == '"') {
        ++p;
        while (*p && *p != '"')
            p = ::CharNextA(p);
        if (*p == '"')
            ++p;
    } else {
        while (*p && !IsBlank(*p))
            p = ::CharNextA(p);
    }
    while (IsBlank(*p))
        ++p;
    return p;
}

SetupMode ClassifyArguments(LPCSTR arguments)
{
    if (lstrcmpiA(arguments, "/u") == 0)
        return SetupMode::Remove;
    if (lstrcmpiA(arguments, "/c") == 0)
        return SetupMode::Check;
    if (*arguments)
        return SetupMode::Usage;
    return SetupMode::Wizard;
}
