#include "window/win32/run_on_win32.h"

#include "forms/form.h"
#include "forms/win32/win32_backend.h"
#include "window/layout.h"
#include "window/main_window.h"

#include <exception>
#include <memory>
#include <string>

namespace iitcalc::window {

namespace {

std::wstring fromUtf8(const std::string &text)
{
    std::wstring wide(static_cast<std::size_t>(
                          MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0)),
                      L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), wide.data(),
                        static_cast<int>(wide.size()));
    return wide;
}

} // namespace

int runOnWin32()
{
    try {
        forms::Form form(
            mainFormLayout(), mainFormBindings(),
            std::make_unique<forms::Win32Backend>(forms::Win32Backend::Options{.quitWhenLastWindowCloses = true}));
        form.show();
        return forms::runMessageLoop();
    } catch (const std::exception &error) {
        const std::wstring text = L"个人所得税计算器无法启动：" + fromUtf8(error.what());
        MessageBoxW(nullptr, text.c_str(), std::wstring(kTitle.begin(), kTitle.end()).c_str(), MB_OK | MB_ICONERROR);
        return 1;
    }
}

} // namespace iitcalc::window
