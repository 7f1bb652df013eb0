#include "forms/form.h"
#include "forms/web/web_backend.h"
#include "link/hand_cursor.h"

#include <emscripten/val.h>

#include <string>

namespace iitcalc::光标变手 {

void setHandCursor()
{
    // On the element the pointer moves over, which keeps the hand while the
    // pointer stays and gives the arrow back as soon as it leaves.
    const forms::RunningEvent *event = forms::runningEvent();
    if (!event)
        return;
    emscripten::val over = forms::elementOf(*event->form, event->control);
    if (!over.isUndefined() && over["style"]["cursor"].as<std::string>() != "pointer")
        over["style"].set("cursor", std::string("pointer"));
}

} // namespace iitcalc::光标变手
