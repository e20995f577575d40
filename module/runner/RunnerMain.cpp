// MorvaneRun.exe: runs one command of Morvane's menu for the files named on its command line, in a
// process of its own that Explorer starts, so that what the command shows comes to the front.
#include <windows.h>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR, int)
{
    return 0;
}
