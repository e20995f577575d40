// The host's standard output: UTF-16 to a console, UTF-8 with CRLF line ends to a file or pipe.
#pragma once
#include "Str.h"

class COutput {
public:
    COutput();
    COutput(const COutput&) = delete;
    COutput& operator=(const COutput&) = delete;

    // One line, indented by two blanks per level.
    void Line(int level, LPCWSTR format, ...);
    void Write(LPCWSTR text);

private:
    HANDLE m_handle;
    bool m_console;
};

// The standard error stream, for usage and selection errors.
void PrintError(LPCWSTR format, ...);
