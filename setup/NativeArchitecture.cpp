#include "NativeArchitecture.h"
#include "Array.h"
#include "Holders.h"
#include "ProgramRunner.h"
#include "Product.h"
#include "Str.h"

namespace {

// regsvr32 loads the module and calls one function; a minute covers a slow disk.
constexpr DWORD kRegistrationTimeoutMs = 60000;

USHORT QueryNativeMachine()
{
    // Windows 10 1709 and later; older systems run no x64 program on ARM64.
    using IsWow64Process2Function = BOOL(WINAPI*)(HANDLE, USHORT*, USHORT*);
    auto isWow64Process2 = reinterpret_cast<IsWow64Process2Function>(
        ::GetProcAddress(::GetModuleHandleA("kernel32.dll"), "IsWow64Process2"));
    USHORT process = IMAGE_FILE_MACHINE_UNKNOWN, native = IMAGE_FILE_MACHINE_UNKNOWN;
    if (isWow64Process2 && isWow64Process2(::GetCurrentProcess(), &process, &native) &&
        native != IMAGE_FILE_MACHINE_UNKNOWN)
        return native;
    SYSTEM_INFO system = {};
    ::GetNativeSystemInfo(&system);
    switch (system.wProcessorArchitecture) {
    case PROCESSOR_ARCHITECTURE_ARM64:
        return IMAGE_FILE_MACHINE_ARM64;
    case PROCESSOR_ARCHITECTURE_AMD64:
        return IMAGE_FILE_MACHINE_AMD64;
    case PROCESSOR_ARCHITECTURE_INTEL:
        return IMAGE_FILE_MACHINE_I386;
    default:
        return IMAGE_FILE_MACHINE_UNKNOWN;
    }
}

MachineQuery g_query = &QueryNativeMachine;

// The headers of a mapped image, or null where the bytes are no PE image.
const IMAGE_NT_HEADERS* ImageHeaders(const BYTE* base, SIZE_T size)
{
    auto dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    if (size < sizeof(*dos) || dos->e_magic != IMAGE_DOS_SIGNATURE || dos->e_lfanew < 0 ||
        SIZE_T(dos->e_lfanew) + sizeof(IMAGE_NT_HEADERS) > size)
        return nullptr;
    auto headers = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    return headers->Signature == IMAGE_NT_SIGNATURE ? headers : nullptr;
}

// The file offset of a relative virtual address, through the section that holds it; 0 for none.
DWORD FileOffset(const IMAGE_NT_HEADERS* headers, DWORD rva)
{
    const IMAGE_SECTION_HEADER* section = IMAGE_FIRST_SECTION(headers);
    for (WORD i = 0; i < headers->FileHeader.NumberOfSections; ++i, ++section) {
        if (rva >= section->VirtualAddress && rva - section->VirtualAddress < section->SizeOfRawData)
            return rva - section->VirtualAddress + section->PointerToRawData;
    }
    return 0;
}

// Whether a 64-bit program file, read whole into image, names the function in its export directory.
bool ImageExports(const BYTE* image, DWORD size, LPCSTR name)
{
    const IMAGE_NT_HEADERS* headers = ImageHeaders(image, size);
    if (!headers || headers->OptionalHeader.Magic != IMAGE_NT_OPTIONAL_HDR64_MAGIC ||
        PBYTE(IMAGE_FIRST_SECTION(headers) + headers->FileHeader.NumberOfSections) > image + size)
        return false;
    auto optional = reinterpret_cast<const IMAGE_OPTIONAL_HEADER64*>(&headers->OptionalHeader);
    if (optional->NumberOfRvaAndSizes <= IMAGE_DIRECTORY_ENTRY_EXPORT)
        return false;
    DWORD directory = FileOffset(headers, optional->DataDirectory[IMAGE_DIRECTORY_ENTRY_EXPORT].VirtualAddress);
    if (directory == 0 || directory > size - sizeof(IMAGE_EXPORT_DIRECTORY))
        return false;
    auto exports = reinterpret_cast<const IMAGE_EXPORT_DIRECTORY*>(image + directory);
    DWORD names = FileOffset(headers, exports->AddressOfNames);
    if (names == 0 || exports->NumberOfNames > (size - names) / sizeof(DWORD))
        return false;
    DWORD wanted = DWORD(lstrlenA(name)) + 1;
    for (DWORD i = 0; i < exports->NumberOfNames; ++i) {
        DWORD at = FileOffset(headers, reinterpret_cast<const DWORD*>(image + names)[i]);
        if (at != 0 && at <= size - wanted && memcmp(image + at, name, wanted) == 0)
            return true;
    }
    return false;
}

}

USHORT NativeMachine()
{
    return g_query();
}

MachineQuery SetMachineQuery(MachineQuery query)
{
    MachineQuery previous = g_query;
    g_query = query ? query : &QueryNativeMachine;
    return previous;
}

LPCSTR NativeFileFolder(LPCSTR name)
{
    const char* const builtPerMachine[] = { kModuleFile, kPackageFile, kRunnerFile };
    if (NativeMachine() != IMAGE_FILE_MACHINE_ARM64)
        return "";
    for (const char* file : builtPerMachine) {
        if (lstrcmpiA(file, name) == 0)
            return "arm64\\";
    }
    return "";
}

USHORT FileMachine(LPCSTR path)
{
    CFileHandle file(::CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                   FILE_ATTRIBUTE_NORMAL, nullptr));
    BYTE start[4096];
    DWORD read = 0;
    if (!file.IsValid() || !::ReadFile(file, start, sizeof(start), &read, nullptr))
        return IMAGE_FILE_MACHINE_UNKNOWN;
    const IMAGE_NT_HEADERS* headers = ImageHeaders(start, read);
    return headers ? headers->FileHeader.Machine : USHORT(IMAGE_FILE_MACHINE_UNKNOWN);
}

bool LoadsHere(LPCSTR path)
{
    USHORT machine = FileMachine(path);
    auto own = reinterpret_cast<const BYTE*>(::GetModuleHandleA(nullptr));
    const IMAGE_NT_HEADERS* ownHeaders = ImageHeaders(own, 4096);
    return machine == IMAGE_FILE_MACHINE_UNKNOWN || !ownHeaders || machine == ownHeaders->FileHeader.Machine;
}

bool ModuleExports(LPCSTR path, LPCSTR name)
{
    if (LoadsHere(path)) {
        CLibrary module(::LoadLibraryA(path));
        return module.IsValid() && ::GetProcAddress(module, name) != nullptr;
    }
    // Another processor's module is read as a file: the module is far smaller than the limit.
    constexpr DWORD kLargestModule = 4 * 1024 * 1024;
    CFileHandle file(::CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                   FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD size = file.IsValid() ? ::GetFileSize(file, nullptr) : INVALID_FILE_SIZE;
    if (size == INVALID_FILE_SIZE || size > kLargestModule)
        return false;
    CArray<BYTE> image;
    DWORD read = 0;
    return image.SetSize(int(size)) && ::ReadFile(file, image.begin(), size, &read, nullptr) && read == size &&
           ImageExports(image.begin(), size, name);
}

bool RegisterNatively(LPCSTR path, bool unregister)
{
    ProgramRun run;
    run.application = SystemFolderProgram("regsvr32.exe");
    run.commandLine.Format("\"%s\" /s%s \"%s\"", run.application.GetString(), unregister ? " /u" : "", path);
    run.timeoutMs = kRegistrationTimeoutMs;
    return RunProgram(run);
}
