// The one definition the programs take from the C++ runtime, which this toolchain does not build:
// their allocation functions are their own (framework/LeanRuntime.cpp), and nothing of theirs throws.
#include <new>

namespace std {
const nothrow_t nothrow{};
}
