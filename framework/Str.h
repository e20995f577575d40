// A small growable string of TCHAR (UTF-16 in the module, 8-bit in setup).
// Allocation failures never throw: the string keeps its previous text and the call reports false.
#pragma once
#include <windows.h>
#include <tchar.h>
#include <stdarg.h>

class CString {
public:
    CString() : m_p(EmptyBuffer()), m_len(0), m_cap(0) {}
    CString(LPCTSTR s) : CString() { Assign(s); }
    CString(LPCTSTR s, int len) : CString() { Assign(s, len); }
    CString(const CString& other) : CString() { Assign(other.m_p, other.m_len); }
    CString(CString&& other) : m_p(other.m_p), m_len(other.m_len), m_cap(other.m_cap) { other.Reset(); }
    ~CString() { Free(); }

    CString& operator=(const CString& other) { if (this != &other) Assign(other.m_p, other.m_len); return *this; }
    CString& operator=(CString&& other);
    CString& operator=(LPCTSTR s) { Assign(s); return *this; }
    CString& operator+=(LPCTSTR s) { Append(s); return *this; }
    CString& operator+=(TCHAR c) { Append(&c, 1); return *this; }

    int GetLength() const { return m_len; }
    bool IsEmpty() const { return m_len == 0; }
    LPCTSTR GetString() const { return m_p; }
    operator LPCTSTR() const { return m_p; }
    TCHAR operator[](int i) const { return (i >= 0 && i < m_len) ? m_p[i] : 0; }

    // A null pointer assigns the empty string; len < 0 means up to the terminator.
    bool Assign(LPCTSTR s, int len = -1);
    bool Append(LPCTSTR s, int len = -1);
    void Empty();
    // Formats with printf rules of the C runtime; on failure the string is left empty.
    bool Format(LPCTSTR format, ...);
    bool FormatV(LPCTSTR format, va_list args);
    void MakeUpper();
    void MakeLower();
    // Cuts to at most len characters, never between the halves of a surrogate pair.
    void Truncate(int len);
    int Find(TCHAR c, int start = 0) const;
    int ReverseFind(TCHAR c) const;
    CString Left(int count) const;
    CString Mid(int first, int count = -1) const;
    // The text without the white space at its start and end.
    CString Trimmed() const;
    int Compare(LPCTSTR s) const { return lstrcmp(m_p, s ? s : TEXT("")); }
    int CompareNoCase(LPCTSTR s) const { return lstrcmpi(m_p, s ? s : TEXT("")); }
    bool operator==(LPCTSTR s) const { return Compare(s) == 0; }
    bool operator!=(LPCTSTR s) const { return Compare(s) != 0; }

    // Direct access for APIs that fill a buffer: capacity in characters, terminator not included.
    // Returns null when the memory cannot be had.
    LPTSTR GetBuffer(int capacity);
    // Takes the length up to the first terminator (len < 0) or the given length.
    void ReleaseBuffer(int len = -1);

private:
    static LPTSTR EmptyBuffer() { static TCHAR empty[1] = {0}; empty[0] = 0; return empty; }
    bool Reserve(int capacity);
    void Free();
    void Reset() { m_p = EmptyBuffer(); m_len = 0; m_cap = 0; }

    LPTSTR m_p;
    int m_len;
    int m_cap;  // 0 while m_p is the shared empty buffer
};

// For a text just cut to its buffer: drops a last character that is the first half of a surrogate
// pair, whose second half the cut removed.
void EndCutOnWholeCharacter(LPTSTR text);
