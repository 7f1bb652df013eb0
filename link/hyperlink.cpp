#include "link/hyperlink.h"

#include <QDesktopServices>
#include <QString>
#include <QUrl>

namespace iitcalc::超级链接 {

void openAddress(std::u16string_view address)
{
    const QUrl url(QString::fromUtf16(address.data(), static_cast<qsizetype>(address.size())), QUrl::StrictMode);
    // Only a well-formed web address goes to the desktop.
    if (!url.isValid() || (url.scheme() != QLatin1String("http") && url.scheme() != QLatin1String("https")))
        return;
    QDesktopServices::openUrl(url);
}

} // namespace iitcalc::超级链接
