#include "link/recording/link_recorder.h"

#include "forms/form.h"
#include "link/desktop.h"
#include "link/hand_cursor.h"

#include <utility>

namespace iitcalc {

link_recorder::Requests &link_recorder::requests()
{
    static Requests recorded;
    return recorded;
}

bool 超级链接::desktop::open(std::u16string_view address, std::function<void()> failedLater)
{
    link_recorder::requests().openedAddresses.emplace_back(address);
    link_recorder::requests().failedLater = std::move(failedLater);
    return !link_recorder::requests().desktopFails;
}

void 光标变手::setHandCursor()
{
    if (const forms::RunningEvent *event = forms::runningEvent())
        link_recorder::requests().handPointerOver.emplace_back(event->control);
}

} // namespace iitcalc
