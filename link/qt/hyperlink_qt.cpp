#include "forms/form.h"
#include "forms/qt/qt_backend.h"
#include "link/desktop.h"

#include <QDesktopServices>
#include <QPointer>
#include <QProcess>
#include <QStandardPaths>
#include <QString>
#include <QUrl>
#include <QWidget>

#include <utility>

namespace iitcalc::超级链接 {

namespace {

// The desktop's opener, which hands an address to the user's browser and
// ends with a failing status when there is none ("no method available", 3).
// Qt starts it detached and never learns how it ended, so a click on a
// desktop without a browser would say nothing: it runs here instead, its
// status read when it ends, while the window goes on. It may take as long
// as the browser it starts, so the program never waits for it and, should
// the program end first, leaves it running.
void runOpener(const QString &opener, const QUrl &url, std::function<void()> failedLater)
{
    // The window whose event asked: once it is gone there is no one to tell.
    const forms::RunningEvent *event = forms::runningEvent();
    QPointer<QWidget> asker = event ? forms::windowOf(*event->form) : nullptr;
    const bool askedFromWindow = !asker.isNull();
    auto *process = new QProcess;
    process->setProgram(opener);
    process->setArguments({url.toString(QUrl::FullyEncoded)});
    process->setStandardInputFile(QProcess::nullDevice());
    process->setStandardOutputFile(QProcess::nullDevice());
    process->setStandardErrorFile(QProcess::nullDevice());
    const auto ended = [process, asker, askedFromWindow, failedLater = std::move(failedLater)](bool failed) {
        process->deleteLater();
        if (failed && failedLater && (!askedFromWindow || asker))
            failedLater();
    };
    QObject::connect(process, &QProcess::finished, process, [ended](int status, QProcess::ExitStatus how) {
        ended(how != QProcess::NormalExit || status != 0);
    });
    QObject::connect(process, &QProcess::errorOccurred, process, [ended](QProcess::ProcessError error) {
        // Only a failure to start comes without finished().
        if (error == QProcess::FailedToStart)
            ended(true);
    });
    process->start();
}

} // namespace

bool desktop::open(std::u16string_view address, std::function<void()> failedLater)
{
    const QUrl url(QString::fromUtf16(address.data(), static_cast<qsizetype>(address.size())), QUrl::StrictMode);
    const QString opener = QStandardPaths::findExecutable(QStringLiteral("xdg-open"));
    if (opener.isEmpty()) // Qt looks for a browser of its own, and says whether it found one
        return QDesktopServices::openUrl(url);
    runOpener(opener, url, std::move(failedLater));
    return true;
}

} // namespace iitcalc::超级链接
