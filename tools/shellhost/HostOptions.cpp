#include "HostOptions.h"
#include "Output.h"
#include <stdlib.h>

bool CHostOptions::ReadNumber(int& i, int argc, wchar_t** argv, UINT& value)
{
    LPCWSTR option = argv[i];
    if (++i >= argc) {
        m_error.Format(L"%s needs a number", option);
        return false;
    }
    wchar_t* end = nullptr;
    unsigned long number = wcstoul(argv[i], &end, 0);
    if (!argv[i][0] || *end || number > 0xFFFFFFFFul) {
        m_error.Format(L"%s: not a number: %s", option, argv[i]);
        return false;
    }
    value = UINT(number);
    return true;
}

bool CHostOptions::ReadPath(int& i, int argc, wchar_t** argv, CString& value)
{
    LPCWSTR option = argv[i];
    if (++i >= argc || !argv[i][0]) {
        m_error.Format(L"%s needs a file name", option);
        return false;
    }
    value = argv[i];
    return true;
}

bool CHostOptions::Parse(int argc, wchar_t** argv)
{
    bool filesOnly = false;
    for (int i = 1; i < argc; ++i) {
        LPCWSTR arg = argv[i];
        if (filesOnly || arg[0] != L'-') {
            m_files.Add(CString(arg));
        } else if (!lstrcmpW(arg, L"--")) {
            filesOnly = true;
        } else if (!lstrcmpW(arg, L"--help") || !lstrcmpW(arg, L"-h") || !lstrcmpW(arg, L"-?")) {
            m_usage = true;
        } else if (!lstrcmpW(arg, L"--flags")) {
            if (!ReadNumber(i, argc, argv, m_flags))
                return false;
        } else if (!lstrcmpW(arg, L"--first")) {
            if (!ReadNumber(i, argc, argv, m_firstId))
                return false;
            if (m_firstId == 0 || m_firstId > 0x7000) {
                m_error = L"--first must lie between 1 and 0x7000";
                return false;
            }
        } else if (!lstrcmpW(arg, L"--handler")) {
            if (++i >= argc) {
                m_error = L"--handler needs a key name or a class identifier";
                return false;
            }
            m_handler = argv[i];
        } else if (!lstrcmpW(arg, L"--help-texts")) {
            m_helpTexts = true;
        } else if (!lstrcmpW(arg, L"--modern")) {
            m_modern = true;
        } else if (!lstrcmpW(arg, L"--invoke")) {
            if (!ReadPath(i, argc, argv, m_invokePath))
                return false;
            m_invoke = true;
        } else if (!lstrcmpW(arg, L"--screenshot")) {
            if (!ReadPath(i, argc, argv, m_screenshot))
                return false;
        } else if (!lstrcmpW(arg, L"--menu-screenshot")) {
            if (!ReadPath(i, argc, argv, m_menuScreenshot))
                return false;
        } else {
            m_error.Format(L"unknown option %s", arg);
            return false;
        }
    }
    if (m_invoke && !m_modern) {
        // The classic menu's --invoke is an offset: read it as if it had been given alone.
        LPWSTR alone[] = { nullptr, const_cast<LPWSTR>(L"--invoke"), const_cast<LPWSTR>(m_invokePath.GetString()) };
        int at = 1;
        if (!ReadNumber(at, 3, alone, m_invokeOffset))
            return false;
        if (m_invokeOffset > 0xFFFF) {
            m_error = L"--invoke takes an offset below 65536";
            return false;
        }
    }
    if (!m_usage && !m_screenshot.IsEmpty() && !m_invoke) {
        m_error = L"--screenshot needs --invoke";
        return false;
    }
    if (!m_usage && m_files.IsEmpty()) {
        m_error = L"no file named";
        return false;
    }
    return true;
}

void CHostOptions::PrintUsage()
{
    PrintError(L"usage: shellhost [options] file...\r\n"
               L"Shows the context menu that the registered shell handlers build for the files\r\n"
               L"(all in one folder), as Explorer would ask for it.\r\n"
               L"  --flags N       QueryContextMenu flags (default 0, CMF_NORMAL; e.g. 0x10)\r\n"
               L"  --handler X     only the handler whose key name or class identifier is X\r\n"
               L"  --help-texts    print each command's help text (GCS_HELPTEXTW)\r\n"
               L"  --invoke N      invoke the command at offset N (InvokeCommand)\r\n"
               L"  --modern        show the Windows 11 menu's command tree (IExplorerCommand) of the\r\n"
               L"                  registered module instead; with it, --invoke takes the titles\r\n"
               L"                  leading to a command, e.g. \"Copy File Name\"\r\n"
               L"  --first N       first command identifier granted (default 100)\r\n"
               L"  --screenshot F.png       with --invoke: save each page of the sheet the command\r\n"
               L"                           opens as F-<tab>.png (e.g. F-type.png), then cancel it\r\n"
               L"  --menu-screenshot F.png  pop the menu up, open the first submenu of two levels\r\n"
               L"                           and save a picture of the open menus\r\n"
               L"exit codes: 0 done; 1 a handler call failed; 2 usage; 3 the files cannot be\r\n"
               L"selected; 4 no handler registered or none matches --handler, or no item to invoke;\r\n"
               L"5 a picture could not be taken");
}
