#include "Registrar.h"
#include "Holders.h"
#include "Str.h"
#include <shlwapi.h>

namespace {

enum class TokenKind { End, Word, Quoted, Open, Close, Equals, Error };

class CScriptParser {
public:
    CScriptParser(LPCWSTR text, RegistryMode mode, LPCWSTR modulePath)
        : m_p(text), m_mode(mode), m_modulePath(modulePath) {}

    HRESULT Run();

private:
    TokenKind Next(CString& token);
    TokenKind Peek();
    HRESULT ParseKeys(HKEY parent, bool act);
    HRESULT ParseKey(HKEY parent, bool act, CString& name);
    HRESULT ParseValueAssignment(CString& value);
    CString Expand(const CString& text) const;
    static HKEY RootFromName(const CString& name);

    LPCWSTR m_p;
    RegistryMode m_mode;
    LPCWSTR m_modulePath;
};

bool IsBlank(WCHAR c) { return c == L' ' || c == L'\t' || c == L'\r' || c == L'\n'; }
bool EndsWord(WCHAR c) { return c == 0 || IsBlank(c) || c == L'='; }

const HRESULT kSyntaxError = HRESULT_FROM_WIN32(ERROR_INVALID_DATA);

TokenKind CScriptParser::Next(CString& token)
{
    token.Empty();
    while (IsBlank(*m_p))
        ++m_p;
    WCHAR c = *m_p;
    if (c == 0)
        return TokenKind::End;
    if (c == L'=') {
        ++m_p;
        return TokenKind::Equals;
    }
    if (c == L'}' && EndsWord(m_p[1])) {
        ++m_p;
        return TokenKind::Close;
    }
    // A brace followed by blank space opens a block; followed by text it starts a name like a CLSID.
    if (c == L'{' && EndsWord(m_p[1])) {
        ++m_p;
        return TokenKind::Open;
    }
    if (c == L'\'') {
        for (++m_p; *m_p; ++m_p) {
            if (*m_p == L'\'') {
                if (m_p[1] != L'\'') {
                    ++m_p;
                    return TokenKind::Quoted;
                }
                ++m_p;  // '' stands for one quote
            }
            token += *m_p;
        }
        return TokenKind::Error;
    }
    LPCWSTR start = m_p;
    while (!EndsWord(*m_p))
        ++m_p;
    token.Assign(start, int(m_p - start));
    return TokenKind::Word;
}

TokenKind CScriptParser::Peek()
{
    LPCWSTR saved = m_p;
    CString token;
    TokenKind kind = Next(token);
    m_p = saved;
    return kind;
}

CString CScriptParser::Expand(const CString& text) const
{
    CString out;
    for (int i = 0; i < text.GetLength(); ++i) {
        if (text[i] == L'%') {
            int end = text.Find(L'%', i + 1);
            if (end == i + 1) {  // %% is a literal percent sign
                out += L'%';
                i = end;
                continue;
            }
            if (end > i && text.Mid(i + 1, end - i - 1).CompareNoCase(L"MODULE") == 0) {
                out += m_modulePath;
                i = end;
                continue;
            }
        }
        out += text[i];
    }
    return out;
}

HKEY CScriptParser::RootFromName(const CString& name)
{
    if (name.CompareNoCase(L"HKCR") == 0 || name.CompareNoCase(L"HKEY_CLASSES_ROOT") == 0)
        return HKEY_CLASSES_ROOT;
    if (name.CompareNoCase(L"HKCU") == 0 || name.CompareNoCase(L"HKEY_CURRENT_USER") == 0)
        return HKEY_CURRENT_USER;
    if (name.CompareNoCase(L"HKLM") == 0 || name.CompareNoCase(L"HKEY_LOCAL_MACHINE") == 0)
        return HKEY_LOCAL_MACHINE;
    return nullptr;
}

HRESULT CScriptParser::Run()
{
    CString token;
    for (;;) {
        TokenKind kind = Next(token);
        if (kind == TokenKind::End)
            return S_OK;
        HKEY root = kind == TokenKind::Word ? RootFromName(token) : nullptr;
        if (!root || Next(token) != TokenKind::Open)
            return kSyntaxError;
        HRESULT hr = ParseKeys(root, true);
        if (FAILED(hr))
            return hr;
    }
}

// Parses "= s 'text'" after a key or value name.
HRESULT CScriptParser::ParseValueAssignment(CString& value)
{
    CString token;
    if (Next(token) != TokenKind::Equals)
        return kSyntaxError;
    if (Next(token) != TokenKind::Word || token.CompareNoCase(L"s") != 0)
        return kSyntaxError;
    if (Next(token) != TokenKind::Quoted)
        return kSyntaxError;
    value = Expand(token);
    return S_OK;
}

// Parses the entries of a block up to its closing brace. act is false inside a key that this run
// does not touch (already deleted, or absent during removal).
HRESULT CScriptParser::ParseKeys(HKEY parent, bool act)
{
    CString token;
    for (;;) {
        TokenKind kind = Next(token);
        if (kind == TokenKind::Close)
            return S_OK;
        if (kind != TokenKind::Word)
            return kSyntaxError;
        if (token.CompareNoCase(L"val") == 0) {
            CString name, value;
            if (Next(name) != TokenKind::Word)
                return kSyntaxError;
            HRESULT hr = ParseValueAssignment(value);
            if (FAILED(hr))
                return hr;
            if (act && m_mode == RegistryMode::Register) {
                CString expanded = Expand(name);
                LONG err = ::RegSetValueExW(parent, expanded, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.GetString()),
                                            DWORD(value.GetLength() + 1) * sizeof(WCHAR));
                if (err != ERROR_SUCCESS)
                    return HRESULT_FROM_WIN32(err);
            }
            continue;
        }
        HRESULT hr = ParseKey(parent, act, token);
        if (FAILED(hr))
            return hr;
    }
}

HRESULT CScriptParser::ParseKey(HKEY parent, bool act, CString& name)
{
    bool noRemove = false, forceRemove = false;
    if (name.CompareNoCase(L"NoRemove") == 0)
        noRemove = true;
    else if (name.CompareNoCase(L"ForceRemove") == 0)
        forceRemove = true;
    if ((noRemove || forceRemove) && Next(name) != TokenKind::Word)
        return kSyntaxError;
    CString keyName = Expand(name);

    CString value;
    bool hasValue = Peek() == TokenKind::Equals;
    if (hasValue) {
        HRESULT hr = ParseValueAssignment(value);
        if (FAILED(hr))
            return hr;
    }

    CRegKeyHandle key;
    bool childAct = false;
    if (act && m_mode == RegistryMode::Register) {
        if (forceRemove)
            ::SHDeleteKeyW(parent, keyName);
        LONG err = ::RegCreateKeyExW(parent, keyName, 0, nullptr, 0, KEY_READ | KEY_WRITE, nullptr, &key, nullptr);
        if (err != ERROR_SUCCESS)
            return HRESULT_FROM_WIN32(err);
        if (hasValue) {
            err = ::RegSetValueExW(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.GetString()),
                                   DWORD(value.GetLength() + 1) * sizeof(WCHAR));
            if (err != ERROR_SUCCESS)
                return HRESULT_FROM_WIN32(err);
        }
        childAct = true;
    } else if (act && noRemove) {
        // Kept keys are only walked through, to reach the removable keys below them.
        childAct = ::RegOpenKeyExW(parent, keyName, 0, KEY_READ, &key) == ERROR_SUCCESS;
    } else if (act) {
        ::SHDeleteKeyW(parent, keyName);
    }

    if (Peek() == TokenKind::Open) {
        CString token;
        Next(token);
        return ParseKeys(key.Get(), childAct);
    }
    return S_OK;
}

}

HRESULT RunRegistryScriptText(const char* text, int length, RegistryMode mode, LPCWSTR modulePath)
{
    int wideLength = ::MultiByteToWideChar(CP_ACP, 0, text, length, nullptr, 0);
    CString wide;
    LPWSTR buffer = wide.GetBuffer(wideLength);
    if (!buffer)
        return E_OUTOFMEMORY;
    ::MultiByteToWideChar(CP_ACP, 0, text, length, buffer, wideLength);
    wide.ReleaseBuffer(wideLength);
    return CScriptParser(wide, mode, modulePath).Run();
}

HRESULT RunRegistryScript(HINSTANCE module, UINT id, RegistryMode mode, LPCWSTR modulePath)
{
    HRSRC resource = ::FindResourceW(module, MAKEINTRESOURCEW(id), L"REGISTRY");
    if (!resource)
        return HRESULT_FROM_WIN32(ERROR_RESOURCE_NAME_NOT_FOUND);
    HGLOBAL loaded = ::LoadResource(module, resource);
    const char* text = loaded ? static_cast<const char*>(::LockResource(loaded)) : nullptr;
    if (!text)
        return HRESULT_FROM_WIN32(::GetLastError());
    return RunRegistryScriptText(text, int(::SizeofResource(module, resource)), mode, modulePath);
}
