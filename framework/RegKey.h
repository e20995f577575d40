// A registry key holder whose operations return Win32 error codes (0 = success).
#pragma once
#include "Holders.h"
#include "Str.h"

class CRegKey2 {
public:
    CRegKey2() = default;
    virtual ~CRegKey2() = default;
    CRegKey2(const CRegKey2&) = delete;
    CRegKey2& operator=(const CRegKey2&) = delete;

    HKEY GetHandle() const { return m_key.Get(); }
    bool IsOpen() const { return m_key.IsValid(); }

    // The caller sets value to its default first: a missing value or a failure leaves it.
    LONG ReadDword(LPCTSTR name, DWORD& value) const;
    // A REG_SZ or REG_EXPAND_SZ (taken literally) with its terminator; a string without one or
    // with an odd byte count is ERROR_INVALID_DATA and leaves the text as it was.
    LONG ReadString(LPCTSTR name, CString& text) const;
    LONG WriteDword(LPCTSTR name, DWORD value);
    LONG WriteString(LPCTSTR name, LPCTSTR text);
    // Both keep the held key when they fail.
    LONG OpenKey(HKEY parent, LPCTSTR subKey, REGSAM access);
    LONG CreateKey(HKEY parent, LPCTSTR subKey, REGSAM access);
    LONG DeleteTree(LPCTSTR subKey);
    void Close() { m_key.Close(); }

private:
    CRegKeyHandle m_key;
};
