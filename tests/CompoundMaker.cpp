// compound_maker.exe PATH: writes a compound document with all five summary properties, for the
// tests that run the module in a prefix of their own.
#include "TestSupport.h"
#include <stdio.h>

int wmain(int argc, wchar_t** argv)
{
    if (argc != 2) {
        fwprintf(stderr, L"usage: compound_maker PATH\n");
        return 2;
    }
    HRESULT hr = CreateCompoundDocument(argv[1], { "Quarterly Report", "Figures of the third quarter", "Ada Lovelace",
                                                   "revenue; regions; forecast", "Draft for the board" });
    if (FAILED(hr))
        fwprintf(stderr, L"compound_maker: 0x%08lX\n", hr);
    return FAILED(hr) ? 1 : 0;
}
