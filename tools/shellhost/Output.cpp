#include "Output.h"
#include <new>

namespace {

void WriteTo(HANDLE handle, bool console, LPCWSTR text, int length)
{
    if (length <= 0)
        return;
    DWORD done = 0;
    if (console) {
        ::WriteConsoleW(handle, text, DWORD(length), &done, nullptr);
        return;
    }
    int bytes = ::WideCharToMultiByte(CP_UTF8, 0, text, length, nullptr, 0, nullptr, nullptr);
    if (bytes <= 0)
        return;
    char stackBuffer[1024];
    char* buffer = bytes <= int(sizeof(stackBuffer)) ? stackBuffer : new (std::nothrow) char[bytes];
    if (!buffer)
        return;
    ::WideCharToMultiByte(CP_UTF8, 0, text, length, buffer, bytes, nullptr, nullptr);
    ::WriteFile(handle, buffer, DWORD(bytes), &done, nullptr);
    if (buffer != stackBuffer)
        delete[] buffer;
}

bool IsConsole(HANDLE handle)
{
    DWORD mode = 0;
    return ::GetConsoleMode(handle, &mode) != FALSE;
}

}

COutput::COutput() : m_handle(::GetStdHandle(STD_OUTPUT_HANDLE)), m_console(IsConsole(m_handle))
{
}

void COutput::Write(LPCWSTR text)
{
    WriteTo(m_handle, m_console, text, lstrlenW(text));
}

void COutput::Line(int level, LPCWSTR format, ...)
{
    CString line;
    for (int i = 0; i < level; ++i)
        line += L"  ";
    CString body;
    va_list args;
    va_start(args, format);
    body.FormatV(format, args);
    va_end(args);
    line += body;
    line += L"\r\n";
    Write(line);
}

void PrintError(LPCWSTR format, ...)
{
    CString text;
    va_list args;
    va_start(args, format);
    text.FormatV(format, args);
    va_end(args);
    text += L"\r\n";
    HANDLE handle = ::GetStdHandle(STD_ERROR_HANDLE);
    WriteTo(handle, IsConsole(handle), text, text.GetLength());
}
