// Setup is an x64 program on every machine. On ARM64 Windows it runs emulated, while Explorer there
// loads only ARM64 modules: what it installs follows the machine's own processor, and a module of
// another processor than this process's is registered, unregistered and inspected without loading it.
#pragma once
#include <windows.h>

// The machine's own processor as an IMAGE_FILE_MACHINE_ value: IsWow64Process2 where the system has
// it, else GetNativeSystemInfo.
USHORT NativeMachine();

// What NativeMachine asks, unless a test puts its own in; null restores it. Returns the one it replaces.
using MachineQuery = USHORT (*)();
MachineQuery SetMachineQuery(MachineQuery query);

// The folder, relative to Setup's own, that holds the named file as built for this machine:
// "arm64\" for the module, its runner and the package on an ARM64 machine, "" for everything else.
LPCSTR NativeFileFolder(LPCSTR name);

// The processor a program file is built for; IMAGE_FILE_MACHINE_UNKNOWN when it cannot be read.
USHORT FileMachine(LPCSTR path);

// True when this process can load the module file: it is built for the processor this process runs as,
// or it is no readable program file at all (loading it then fails as it would anyway).
bool LoadsHere(LPCSTR path);

// Whether the module file exports the named function: looked up in the module loaded, or in its
// image mapped as data where it is another processor's.
bool ModuleExports(LPCSTR path, LPCSTR name);

// Registers (or with unregister, unregisters) a module this process cannot load, through the
// system's own regsvr32, which is a native program: true when it reported success.
bool RegisterNatively(LPCSTR path, bool unregister);
