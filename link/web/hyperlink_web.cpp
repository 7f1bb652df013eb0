#include "forms/form.h"
#include "forms/web/web_backend.h"
#include "link/desktop.h"

#include <emscripten/emscripten.h>

// clang-format off
EM_JS(void, openTab, (const char16_t *address, int size), {
    window.open(String.fromCharCode.apply(null, HEAPU16.subarray(address >> 1, (address >> 1) + size)), '_blank',
                'noopener,noreferrer');
});
// clang-format on

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
    openTab(address.data(), static_cast<int>(address.size()));
    return true;
}

} // namespace iitcalc::超级链接
