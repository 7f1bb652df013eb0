#include "window/web/run_on_web.h"

#include "calc/utf8.h"
#include "forms/form.h"
#include "forms/web/web_backend.h"
#include "window/layout.h"
#include "window/main_window.h"
#include "window/web/sheet_drop.h"

#include <emscripten/emscripten.h>

#include <exception>
#include <memory>
#include <string>

// clang-format off
// When the window is up and takes input: for the start-up benchmark, and
// for the page's start script.
EM_JS(void, markReady, (), {
    performance.mark('iitcalc-ready');
    window.dispatchEvent(new Event('iitcalc-ready'));
});

// The page's start script says so, with what to do.
EM_JS(void, reportFailure, (const char16_t *why, int size), {
    if (typeof iitcalcFailed === 'function')
        iitcalcFailed(String.fromCharCode.apply(null, HEAPU16.subarray(why >> 1, (why >> 1) + size)));
});
// clang-format on

namespace iitcalc::window {

int runOnWeb()
{
    try {
        static forms::Form form(mainFormLayout(), mainFormBindings(), std::make_unique<forms::WebBackend>());
        form.show();
        markReady();
        offerSheetDrop();
        return 0;
    } catch (const std::exception &error) {
        const std::u16string why = u"窗口无法建立（" + fromUtf8(error.what()) + u"）";
        reportFailure(why.data(), static_cast<int>(why.size()));
        return 1;
    }
}

} // namespace iitcalc::window
