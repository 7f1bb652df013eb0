#include "window/web/run_on_web.h"

#include "calc/utf8.h"
#include "forms/form.h"
#include "forms/web/web_backend.h"
#include "window/layout.h"
#include "window/main_window.h"
#include "window/web/sheet_drop.h"

#include <emscripten/val.h>

#include <exception>
#include <memory>
#include <string>

namespace iitcalc::window {

int runOnWeb()
{
    using emscripten::val;
    try {
        static forms::Form form(mainFormLayout(), mainFormBindings(), std::make_unique<forms::WebBackend>());
        form.show();
        // When the window is up and takes input, for the start-up benchmark.
        val::global("performance").call<void>("mark", std::string("iitcalc-ready"));
        offerSheetDrop();
        return 0;
    } catch (const std::exception &error) {
        // The page's start script says so, with what to do.
        const val failed = val::global("iitcalcFailed");
        if (failed.typeOf().as<std::string>() == "function")
            failed(u"窗口无法建立（" + fromUtf8(error.what()) + u"）");
        return 1;
    }
}

} // namespace iitcalc::window
