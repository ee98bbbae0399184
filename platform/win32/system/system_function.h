#pragma once

#include <windows.h>

namespace tallowick::win32 {

// True on the NT family (NT 4.0, 2000 and later), false on 95 and 98.
inline bool RunsOnNt() { return (GetVersion() & 0x80000000u) == 0; }

// A function of a loaded system DLL, looked up at run time rather than
// imported, so the program still loads where the DLL lacks it; null there.
// 95 and 98 export most W functions as stubs that fail: take those on NT only.
template <typename Function>
Function SystemFunction(const char* module, const char* name)
{
    const HMODULE loaded = GetModuleHandleA(module);
    const FARPROC address = loaded ? GetProcAddress(loaded, name) : nullptr;
    // Through void (*)(), the one function type that converts to any other.
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(address));
}

} // namespace tallowick::win32
