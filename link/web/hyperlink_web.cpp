#include "forms/form.h"
#include "forms/web/web_backend.h"
#include "link/desktop.h"

#include <emscripten/val.h>

#include <string>

namespace iitcalc::超级链接 {

bool desktop::open(std::u16string_view address, std::function<void()>)
{
    // A click on a link: the browser follows the link itself, into a new
    // tab, as it does any link that opens one.
    const forms::RunningEvent *event = forms::runningEvent();
    if (event && forms::followLink(*event->form, event->control, address))
        return true;
    // From anywhere else: a new tab of its own, with no hold on this page.
    // The browser does not tell whether it opened one.
    emscripten::val::global("window").call<emscripten::val>("open", std::u16string(address), std::string("_blank"),
                                                            std::string("noopener,noreferrer"));
    return true;
}

} // namespace iitcalc::超级链接
