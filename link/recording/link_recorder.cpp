#include "link/recording/link_recorder.h"

#include "forms/form.h"
#include "link/hand_cursor.h"
#include "link/hyperlink.h"

namespace iitcalc {

link_recorder::Requests &link_recorder::requests()
{
    static Requests recorded;
    return recorded;
}

void 超级链接::openAddress(std::u16string_view address)
{
    if (isWebAddress(address))
        link_recorder::requests().openedAddresses.emplace_back(address);
}

void 光标变手::setHandCursor()
{
    if (const forms::RunningEvent *event = forms::runningEvent())
        link_recorder::requests().handPointerOver.emplace_back(event->control);
}

} // namespace iitcalc
