#include "link/desktop.h"

#include <QDesktopServices>
#include <QString>
#include <QUrl>

namespace iitcalc::超级链接 {

bool desktop::open(std::u16string_view address)
{
    return QDesktopServices::openUrl(
        QUrl(QString::fromUtf16(address.data(), static_cast<qsizetype>(address.size())), QUrl::StrictMode));
}

} // namespace iitcalc::超级链接
