#pragma once

// A function of a Windows DLL looked up when first needed rather than
// imported: for what older Windows lacks (Windows 7 and 8 have no
// per-monitor DPI functions) and for large DLLs a click may never need.

#include <windows.h>

#include <string>

namespace iitcalc::forms::win32 {

// The function `name` of the system DLL `dll`, loaded from the system folder
// by its full path (never from beside the program) and kept for the life of
// the program; null when Windows has no such DLL or function.
template <class Function>
Function systemFunction(const wchar_t *dll, const char *name)
{
    wchar_t folder[MAX_PATH];
    const UINT length = GetSystemDirectoryW(folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return nullptr;
    const HMODULE module = LoadLibraryW((std::wstring(folder, length) + L"\\" + dll).c_str());
    const FARPROC found = module ? GetProcAddress(module, name) : nullptr;
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(found));
}

} // namespace iitcalc::forms::win32
