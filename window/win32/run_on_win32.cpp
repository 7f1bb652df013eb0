#include "window/win32/run_on_win32.h"

#include "calc/utf8.h"
#include "forms/form.h"
#include "forms/win32/win32_backend.h"
#include "window/layout.h"
#include "window/main_window.h"

#include <exception>
#include <memory>
#include <string>

namespace iitcalc::window {

int runOnWin32()
{
    try {
        forms::Form form(
            mainFormLayout(), mainFormBindings(),
            std::make_unique<forms::Win32Backend>(forms::Win32Backend::Options{.quitWhenLastWindowCloses = true}));
        form.show();
        return forms::runMessageLoop();
    } catch (const std::exception &error) {
        const std::u16string text = u"个人所得税计算器无法启动：" + fromUtf8(error.what());
        MessageBoxW(nullptr, reinterpret_cast<const wchar_t *>(text.c_str()),
                    reinterpret_cast<const wchar_t *>(std::u16string(kTitle).c_str()), MB_OK | MB_ICONERROR);
        return 1;
    }
}

} // namespace iitcalc::window
