#include "link/hyperlink.h"
#include "link/win32/shell_open.h"

#include <windows.h>

#include <objbase.h>
#include <shellapi.h>

#include <string>

namespace iitcalc::超级链接 {

namespace {

// A function of a system DLL that is loaded when first needed, by its full
// path in the system folder, and kept. The shell is large: loading it at
// start-up would slow every launch for the sake of a click that may never
// come.
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

} // namespace

void win32::shellExecute(const wchar_t *address)
{
    using CoInitializeExFunction = HRESULT(WINAPI *)(LPVOID, DWORD);
    using ShellExecuteFunction = HINSTANCE(WINAPI *)(HWND, LPCWSTR, LPCWSTR, LPCWSTR, LPCWSTR, INT);
    // The shell may hand the address to an extension that needs COM on this
    // thread, so COM comes first, once.
    static const bool comReady = [] {
        const auto initialise = systemFunction<CoInitializeExFunction>(L"ole32.dll", "CoInitializeEx");
        return initialise && SUCCEEDED(initialise(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE));
    }();
    (void)comReady;
    static const auto execute = systemFunction<ShellExecuteFunction>(L"shell32.dll", "ShellExecuteW");
    // The shell takes the request and returns; whether a browser opens is
    // not this program's business.
    if (execute)
        execute(nullptr, nullptr, address, nullptr, nullptr, SW_SHOWNORMAL);
}

win32::ShellOpen win32::shellOpen = win32::shellExecute;

void openAddress(std::u16string_view address)
{
    if (!isWebAddress(address))
        return;
    // UTF-16 throughout: no code page can lose a character on the way.
    const std::wstring wide(address.begin(), address.end());
    win32::shellOpen(wide.c_str());
}

} // namespace iitcalc::超级链接
