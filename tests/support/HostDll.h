// What the tests' toolchain can carry across the boundary of the host's DLL.
#pragma once

namespace velnor_test {

// i686 MinGW unwinds with DWARF-2 tables that each module's static copy of libgcc keeps
// to itself: an exception thrown in the host's DLL finds no handler in the program and
// ends in terminate. x64 unwinds through the system's tables, natively the host is no DLL,
// and Microsoft's compiler passes exceptions across DLLs on both architectures.
constexpr bool ExceptionsCrossTheHostDll() {
#if defined(_WIN32) && defined(__GNUC__) && defined(__i386__)
    return false;
#else
    return true;
#endif
}

}  // namespace velnor_test
