#include "forms/win32/system_function.h"
#include "link/desktop.h"
#include "link/win32/shell_open.h"

#include <windows.h>

#include <objbase.h>
#include <shellapi.h>

#include <string>

namespace iitcalc::超级链接 {

using forms::win32::systemFunction;

bool win32::shellExecute(const wchar_t *address)
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
    // The shell takes the request and returns at once; above 32 it could
    // hand the address on, at most 32 it says why not (no browser, no
    // program registered for http).
    return execute &&
           reinterpret_cast<INT_PTR>(execute(nullptr, nullptr, address, nullptr, nullptr, SW_SHOWNORMAL)) > 32;
}

win32::ShellOpen win32::shellOpen = win32::shellExecute;

bool desktop::open(std::u16string_view address, std::function<void()>)
{
    // UTF-16 throughout: no code page can lose a character on the way.
    const std::wstring wide(address.begin(), address.end());
    return win32::shellOpen(wide.c_str());
}

} // namespace iitcalc::超级链接
