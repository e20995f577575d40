#include "Str.h"
#include <strsafe.h>
#include <ctype.h>
#include <wctype.h>

namespace {
const int kMaxFormatLength = 32 * 1024;

int LengthOf(LPCTSTR s, int len)
{
    if (!s)
        return 0;
    if (len >= 0) {
        int n = 0;
        while (n < len && s[n])
            ++n;
        return n;
    }
    return lstrlen(s);
}
}

CString& CString::operator=(CString&& other)
{
    if (this != &other) {
        Free();
        m_p = other.m_p;
        m_len = other.m_len;
        m_cap = other.m_cap;
        other.Reset();
    }
    return *this;
}

bool CString::Reserve(int capacity)
{
    if (capacity <= m_cap)
        return true;
    if (capacity < 0 || capacity > 0x3FFFFFF0)
        return false;
    int newCap = m_cap ? m_cap : 15;
    while (newCap < capacity)
        newCap = newCap * 2 + 1;
    LPTSTR p = static_cast<LPTSTR>(::HeapAlloc(::GetProcessHeap(), 0, (SIZE_T(newCap) + 1) * sizeof(TCHAR)));
    if (!p)
        return false;
    CopyMemory(p, m_p, (SIZE_T(m_len) + 1) * sizeof(TCHAR));
    int len = m_len;
    Free();
    m_p = p;
    m_len = len;
    m_cap = newCap;
    return true;
}

void CString::Free()
{
    if (m_cap)
        ::HeapFree(::GetProcessHeap(), 0, m_p);
    Reset();
}

bool CString::Assign(LPCTSTR s, int len)
{
    int n = LengthOf(s, len);
    if (m_cap && s >= m_p && s <= m_p + m_len) {  // part of our own text
        CString copy(s, n);
        return Assign(copy.m_p, copy.m_len);
    }
    if (n == 0) {
        Empty();
        return true;
    }
    if (!Reserve(n))
        return false;
    CopyMemory(m_p, s, SIZE_T(n) * sizeof(TCHAR));
    m_p[n] = 0;
    m_len = n;
    return true;
}

bool CString::Append(LPCTSTR s, int len)
{
    int n = LengthOf(s, len);
    if (n == 0)
        return true;
    if (m_cap && s >= m_p && s <= m_p + m_len) {
        CString copy(s, n);
        return Append(copy.m_p, copy.m_len);
    }
    if (n > 0x3FFFFFF0 - m_len || !Reserve(m_len + n))
        return false;
    CopyMemory(m_p + m_len, s, SIZE_T(n) * sizeof(TCHAR));
    m_len += n;
    m_p[m_len] = 0;
    return true;
}

void CString::Empty()
{
    if (m_cap) {
        m_p[0] = 0;
        m_len = 0;
    }
}

bool CString::Format(LPCTSTR format, ...)
{
    va_list args;
    va_start(args, format);
    bool ok = FormatV(format, args);
    va_end(args);
    return ok;
}

bool CString::FormatV(LPCTSTR format, va_list args)
{
    for (int cap = 256; cap <= kMaxFormatLength; cap *= 4) {
        CString out;
        LPTSTR p = out.GetBuffer(cap);
        if (!p)
            break;
        va_list copy;
        va_copy(copy, args);
        HRESULT hr = ::StringCchVPrintf(p, size_t(cap) + 1, format, copy);
        va_end(copy);
        if (SUCCEEDED(hr)) {
            out.ReleaseBuffer();
            *this = static_cast<CString&&>(out);
            return true;
        }
        if (hr != STRSAFE_E_INSUFFICIENT_BUFFER)
            break;
    }
    Empty();
    return false;
}

void CString::MakeUpper()
{
    if (m_len)
        ::CharUpperBuff(m_p, DWORD(m_len));
}

void CString::MakeLower()
{
    if (m_len)
        ::CharLowerBuff(m_p, DWORD(m_len));
}

void CString::Truncate(int len)
{
    if (len >= 0 && len < m_len) {
#ifdef UNICODE
        if (len > 0 && IS_HIGH_SURROGATE(m_p[len - 1]))
            --len;
#endif
        m_len = len;
        m_p[len] = 0;
    }
}

void EndCutOnWholeCharacter(LPTSTR text)
{
#ifdef UNICODE
    int length = text ? lstrlenW(text) : 0;
    if (length > 0 && IS_HIGH_SURROGATE(text[length - 1]))
        text[length - 1] = 0;
#else
    (void)text;
#endif
}

int CString::Find(TCHAR c, int start) const
{
    for (int i = start < 0 ? 0 : start; i < m_len; ++i)
        if (m_p[i] == c)
            return i;
    return -1;
}

int CString::ReverseFind(TCHAR c) const
{
    for (int i = m_len - 1; i >= 0; --i)
        if (m_p[i] == c)
            return i;
    return -1;
}

CString CString::Left(int count) const
{
    return CString(m_p, count < 0 ? 0 : (count > m_len ? m_len : count));
}

CString CString::Mid(int first, int count) const
{
    if (first < 0)
        first = 0;
    if (first >= m_len)
        return CString();
    int rest = m_len - first;
    return CString(m_p + first, (count < 0 || count > rest) ? rest : count);
}

namespace {

bool IsSpace(TCHAR c)
{
#ifdef UNICODE
    return ::iswspace(c) != 0;
#else
    return ::isspace(static_cast<unsigned char>(c)) != 0;
#endif
}

}

CString CString::Trimmed() const
{
    int first = 0, end = m_len;
    while (first < end && IsSpace(m_p[first]))
        ++first;
    while (end > first && IsSpace(m_p[end - 1]))
        --end;
    return Mid(first, end - first);
}

LPTSTR CString::GetBuffer(int capacity)
{
    if (capacity < 1)
        capacity = 1;
    if (!Reserve(capacity))
        return nullptr;
    return m_p;
}

void CString::ReleaseBuffer(int len)
{
    if (!m_cap)
        return;
    if (len < 0 || len > m_cap) {
        len = 0;
        while (len < m_cap && m_p[len])
            ++len;
    }
    m_len = len;
    m_p[len] = 0;
}
