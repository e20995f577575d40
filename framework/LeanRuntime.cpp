// The programs' allocation functions, on the process heap. Linked into the module and the
// installer only (not the tests): the C++ runtime's own versions would bring its exception and
// thread support into a DLL that Explorer loads on every right-click. Nothing in either program
// throws, and every allocation asks for the nothrow form or checks for null.
#include <windows.h>
#include <new>
#include <stdlib.h>

namespace {
void* Allocate(size_t size)
{
    return ::HeapAlloc(::GetProcessHeap(), 0, size ? size : 1);
}
void Free(void* p)
{
    if (p)
        ::HeapFree(::GetProcessHeap(), 0, p);
}
}

void* operator new(size_t size) { return Allocate(size); }
void* operator new[](size_t size) { return Allocate(size); }
void* operator new(size_t size, const std::nothrow_t&) noexcept { return Allocate(size); }
void* operator new[](size_t size, const std::nothrow_t&) noexcept { return Allocate(size); }
void operator delete(void* p) noexcept { Free(p); }
void operator delete[](void* p) noexcept { Free(p); }
void operator delete(void* p, size_t) noexcept { Free(p); }
void operator delete[](void* p, size_t) noexcept { Free(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { Free(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { Free(p); }

// A pure virtual call or a broken invariant ends the process quietly instead of pulling in the
// runtime's message and name demangler.
extern "C" void __cxa_pure_virtual() { ::abort(); }
namespace __gnu_cxx {
void __verbose_terminate_handler() { ::abort(); }
}
