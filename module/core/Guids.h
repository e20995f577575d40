// Class, interface and library identifiers of the Morvane module.
#pragma once
#include <windows.h>
#include <unknwn.h>

extern const CLSID CLSID_MorvaneMenuHandler;  // {5A1E0C37-6B2D-4F80-9C14-7E3B2A9D0F61}
// The Windows 11 menu's command; declared by the package, never registered by the module.
extern const CLSID CLSID_MorvaneExplorerCommand;  // {5A1E0C47-6B2D-4F80-9C14-7E3B2A9D0F61}
extern const CLSID CLSID_MorvaneLogger;       // {6F3A91C2-0B7D-4E58-A1C6-93D04B2E7F18}
extern const IID IID_ILogger;                 // {6F3A91C1-0B7D-4E58-A1C6-93D04B2E7F18}
extern const GUID LIBID_MORVANELib;           // {5A1E0C27-6B2D-4F80-9C14-7E3B2A9D0F61}

// The type library's one interface: no operations beyond IUnknown.
struct ILogger : public IUnknown {
};
__CRT_UUID_DECL(ILogger, 0x6F3A91C1, 0x0B7D, 0x4E58, 0xA1, 0xC6, 0x93, 0xD0, 0x4B, 0x2E, 0x7F, 0x18)
