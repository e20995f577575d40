// The installer's application object: runs the one mode the command line asks for.
#pragma once
#include "App.h"

class CSetupApp : public CApp {
public:
    CSetupApp();

    BOOL InitInstance() override;
    int ExitInstance() override;
};

// The program file's base name without its extension: the caption of boxes given none.
LPCSTR ProgramTitle();
