// RAII holders for the handles, COM pointers and allocations of the Win32 API.
#pragma once
#include <windows.h>
#include <ole2.h>

// Owns one handle of a kind described by Traits (its type, its invalid value and how it is closed).
template <class Traits>
class CHandleT {
public:
    using Type = typename Traits::Type;

    CHandleT() : m_h(Traits::Invalid()) {}
    explicit CHandleT(Type h) : m_h(h) {}
    ~CHandleT() { Close(); }
    CHandleT(const CHandleT&) = delete;
    CHandleT& operator=(const CHandleT&) = delete;
    CHandleT(CHandleT&& other) : m_h(other.Detach()) {}
    CHandleT& operator=(CHandleT&& other) { if (this != &other) Attach(other.Detach()); return *this; }

    bool IsValid() const { return m_h != Traits::Invalid(); }
    Type Get() const { return m_h; }
    operator Type() const { return m_h; }
    void Attach(Type h) { Close(); m_h = h; }
    Type Detach() { Type h = m_h; m_h = Traits::Invalid(); return h; }
    // For out-parameters: closes what is held and returns the address to fill.
    Type* operator&() { Close(); return &m_h; }
    void Close()
    {
        if (IsValid())
            Traits::Close(m_h);
        m_h = Traits::Invalid();
    }

private:
    Type m_h;
};

struct FileHandleTraits {
    using Type = HANDLE;
    static Type Invalid() { return INVALID_HANDLE_VALUE; }
    static void Close(Type h) { ::CloseHandle(h); }
};
struct KernelHandleTraits {
    using Type = HANDLE;
    static Type Invalid() { return nullptr; }
    static void Close(Type h) { ::CloseHandle(h); }
};
struct FindHandleTraits {
    using Type = HANDLE;
    static Type Invalid() { return INVALID_HANDLE_VALUE; }
    static void Close(Type h) { ::FindClose(h); }
};
struct RegKeyTraits {
    using Type = HKEY;
    static Type Invalid() { return nullptr; }
    static void Close(Type h) { ::RegCloseKey(h); }
};
struct LibraryTraits {
    using Type = HMODULE;
    static Type Invalid() { return nullptr; }
    static void Close(Type h) { ::FreeLibrary(h); }
};
struct MenuTraits {
    using Type = HMENU;
    static Type Invalid() { return nullptr; }
    static void Close(Type h) { ::DestroyMenu(h); }
};
struct GdiObjectTraits {
    using Type = HGDIOBJ;
    static Type Invalid() { return nullptr; }
    static void Close(Type h) { ::DeleteObject(h); }
};
struct MemoryDcTraits {
    using Type = HDC;
    static Type Invalid() { return nullptr; }
    static void Close(Type h) { ::DeleteDC(h); }
};
struct GlobalTraits {
    using Type = HGLOBAL;
    static Type Invalid() { return nullptr; }
    static void Close(Type h) { ::GlobalFree(h); }
};
struct WindowTraits {
    using Type = HWND;
    static Type Invalid() { return nullptr; }
    static void Close(Type h) { ::DestroyWindow(h); }
};
struct CoTaskMemTraits {
    using Type = void*;
    static Type Invalid() { return nullptr; }
    static void Close(Type p) { ::CoTaskMemFree(p); }
};

using CFileHandle = CHandleT<FileHandleTraits>;
using CKernelHandle = CHandleT<KernelHandleTraits>;
using CFindHandle = CHandleT<FindHandleTraits>;
using CRegKeyHandle = CHandleT<RegKeyTraits>;
using CLibrary = CHandleT<LibraryTraits>;
using CMenuHandle = CHandleT<MenuTraits>;
using CGdiObject = CHandleT<GdiObjectTraits>;
using CMemoryDc = CHandleT<MemoryDcTraits>;
using CGlobalHandle = CHandleT<GlobalTraits>;
using CCoTaskMem = CHandleT<CoTaskMemTraits>;
using CWindowHandle = CHandleT<WindowTraits>;

struct ActCtxTraits {
    using Type = HANDLE;
    static Type Invalid() { return INVALID_HANDLE_VALUE; }
    static void Close(Type h) { ::ReleaseActCtx(h); }
};
using CActCtxHandle = CHandleT<ActCtxTraits>;

// Activates an activation context on this thread for the guard's life, so the windows made meanwhile
// take their classes from it; an invalid context activates nothing.
class CActivationScope {
public:
    explicit CActivationScope(HANDLE context)
    {
        m_active = context != INVALID_HANDLE_VALUE && context && ::ActivateActCtx(context, &m_cookie);
    }
    ~CActivationScope()
    {
        if (m_active)
            ::DeactivateActCtx(0, m_cookie);
    }
    CActivationScope(const CActivationScope&) = delete;
    CActivationScope& operator=(const CActivationScope&) = delete;

private:
    ULONG_PTR m_cookie = 0;
    bool m_active = false;
};

// A window's device context (the screen's for no window), released with ReleaseDC.
class CWindowDc {
public:
    explicit CWindowDc(HWND window) : m_window(window), m_dc(::GetDC(window)) {}
    ~CWindowDc() { if (m_dc) ::ReleaseDC(m_window, m_dc); }
    CWindowDc(const CWindowDc&) = delete;
    CWindowDc& operator=(const CWindowDc&) = delete;
    HDC Get() const { return m_dc; }
    operator HDC() const { return m_dc; }

private:
    HWND m_window;
    HDC m_dc;
};

// A COM interface pointer that releases what it holds.
template <class T>
class CComPtr {
public:
    CComPtr() : m_p(nullptr) {}
    CComPtr(T* p) : m_p(p) { if (m_p) m_p->AddRef(); }
    CComPtr(const CComPtr& other) : CComPtr(other.m_p) {}
    CComPtr(CComPtr&& other) : m_p(other.Detach()) {}
    ~CComPtr() { Release(); }
    CComPtr& operator=(const CComPtr& other) { CComPtr copy(other); Swap(copy); return *this; }
    CComPtr& operator=(CComPtr&& other) { CComPtr moved(static_cast<CComPtr&&>(other)); Swap(moved); return *this; }

    T* Get() const { return m_p; }
    operator T*() const { return m_p; }
    T* operator->() const { return m_p; }
    T** operator&() { Release(); return &m_p; }
    void** ReceiveVoid() { Release(); return reinterpret_cast<void**>(&m_p); }
    void Attach(T* p) { Release(); m_p = p; }
    T* Detach() { T* p = m_p; m_p = nullptr; return p; }
    void Release() { if (m_p) { T* p = m_p; m_p = nullptr; p->Release(); } }
    void Swap(CComPtr& other) { T* p = m_p; m_p = other.m_p; other.m_p = p; }

    template <class Q>
    HRESULT QueryInterface(REFIID riid, CComPtr<Q>& target) const
    {
        if (!m_p)
            return E_POINTER;
        return m_p->QueryInterface(riid, target.ReceiveVoid());
    }

private:
    T* m_p;
};

// A storage medium released with ReleaseStgMedium.
class CStgMedium : public STGMEDIUM {
public:
    CStgMedium() { ZeroMemory(static_cast<STGMEDIUM*>(this), sizeof(STGMEDIUM)); }
    ~CStgMedium() { Release(); }
    CStgMedium(const CStgMedium&) = delete;
    CStgMedium& operator=(const CStgMedium&) = delete;
    void Release()
    {
        if (tymed != TYMED_NULL)
            ::ReleaseStgMedium(this);
        ZeroMemory(static_cast<STGMEDIUM*>(this), sizeof(STGMEDIUM));
    }
};

// Locks a global memory block for the holder's lifetime.
template <class T>
class CGlobalLock {
public:
    explicit CGlobalLock(HGLOBAL h) : m_h(h), m_p(h ? static_cast<T*>(::GlobalLock(h)) : nullptr) {}
    ~CGlobalLock() { if (m_p) ::GlobalUnlock(m_h); }
    CGlobalLock(const CGlobalLock&) = delete;
    CGlobalLock& operator=(const CGlobalLock&) = delete;
    T* Get() const { return m_p; }
    SIZE_T Size() const { return m_p ? ::GlobalSize(m_h) : 0; }

private:
    HGLOBAL m_h;
    T* m_p;
};

// A critical section and its scoped lock.
class CCriticalSection {
public:
    CCriticalSection() : m_ready(false) {}
    ~CCriticalSection() { if (m_ready) ::DeleteCriticalSection(&m_cs); }
    CCriticalSection(const CCriticalSection&) = delete;
    CCriticalSection& operator=(const CCriticalSection&) = delete;
    HRESULT Init()
    {
        if (!m_ready)
            m_ready = ::InitializeCriticalSectionAndSpinCount(&m_cs, 0) != FALSE;
        return m_ready ? S_OK : HRESULT_FROM_WIN32(::GetLastError());
    }
    void Enter() { ::EnterCriticalSection(&m_cs); }
    void Leave() { ::LeaveCriticalSection(&m_cs); }

private:
    CRITICAL_SECTION m_cs;
    bool m_ready;
};

class CCriticalSectionLock {
public:
    explicit CCriticalSectionLock(CCriticalSection& cs) : m_cs(cs) { m_cs.Enter(); }
    ~CCriticalSectionLock() { m_cs.Leave(); }
    CCriticalSectionLock(const CCriticalSectionLock&) = delete;
    CCriticalSectionLock& operator=(const CCriticalSectionLock&) = delete;

private:
    CCriticalSection& m_cs;
};

// COM initialised on this thread for the holder's lifetime.
class CComInit {
public:
    explicit CComInit(DWORD model = COINIT_APARTMENTTHREADED) : m_hr(::CoInitializeEx(nullptr, model)) {}
    ~CComInit() { if (SUCCEEDED(m_hr)) ::CoUninitialize(); }
    CComInit(const CComInit&) = delete;
    CComInit& operator=(const CComInit&) = delete;
    HRESULT Result() const { return m_hr; }

private:
    HRESULT m_hr;
};

// The process's current directory, put back as it was when the holder ends. The current directory
// holds at most MAX_PATH characters; one that could not be read is left alone.
class CCurrentDirectoryKeeper {
public:
    CCurrentDirectoryKeeper()
    {
        DWORD length = ::GetCurrentDirectoryW(MAX_PATH, m_path);
        m_kept = length > 0 && length < MAX_PATH;
    }
    ~CCurrentDirectoryKeeper() { if (m_kept) ::SetCurrentDirectoryW(m_path); }
    CCurrentDirectoryKeeper(const CCurrentDirectoryKeeper&) = delete;
    CCurrentDirectoryKeeper& operator=(const CCurrentDirectoryKeeper&) = delete;

private:
    WCHAR m_path[MAX_PATH];
    bool m_kept;
};
