#include "window/qt/run_on_qt.h"

#include "forms/form.h"
#include "forms/qt/qt_backend.h"
#include "window/layout.h"
#include "window/main_window.h"

#include <QApplication>
#include <QLocale>
#include <QString>
#include <QStringList>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

namespace iitcalc::window {

namespace {

constexpr const char *kNoDisplay = "iitcalc：找不到可用的图形显示，可以用 xvfb-run iitcalc 在虚拟显示上运行，"
                                   "或用 iitcalc-cli 收入 五险一金之和 在终端里计算。\n";

bool unset(const char *name)
{
    const char *value = std::getenv(name);
    return !value || !*value;
}

// Whether every platform the toolkit would try needs a display that the
// environment does not name. Other platforms decide for themselves.
bool displayMissing()
{
    const char *chosen = std::getenv("QT_QPA_PLATFORM");
    if (!chosen || !*chosen) {
#if defined(Q_OS_UNIX) && !defined(Q_OS_MACOS)
        return unset("DISPLAY") && unset("WAYLAND_DISPLAY");
#else
        return false;
#endif
    }
    for (const QString &entry : QString::fromLocal8Bit(chosen).split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        const QString name = entry.section(QLatin1Char(':'), 0, 0).trimmed();
        const bool missing = (name == QLatin1String("xcb") && unset("DISPLAY")) ||
                             (name.startsWith(QLatin1String("wayland")) && unset("WAYLAND_DISPLAY"));
        if (!missing)
            return false;
    }
    return true;
}

// What the toolkit says while it starts, kept to tell a missing display
// from a plugin that cannot load when it gives up.
QStringList startUpMessages;

void startUpHandler(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    startUpMessages.append(message);
    if (type != QtFatalMsg)
        return;
    const QString all = startUpMessages.join(QLatin1Char('\n'));
    if (all.contains(QLatin1String("connect to display"), Qt::CaseInsensitive) ||
        all.contains(QLatin1String("wl_display"), Qt::CaseInsensitive)) {
        std::fputs(kNoDisplay, stderr);
    } else {
        QString available = all.section(QLatin1String("Available platform plugins are:"), 1).trimmed();
        if (available.endsWith(QLatin1Char('.')))
            available.chop(1);
        std::string text =
            "iitcalc：无法加载图形平台插件“" + qEnvironmentVariable("QT_QPA_PLATFORM").toStdString() + "”";
        if (!available.isEmpty())
            text += "（可用的有：" + available.toStdString() + "）";
        text += "。\n";
        std::fputs(text.c_str(), stderr);
    }
    std::_Exit(1);
}

} // namespace

int runOnQt(int &argc, char **argv)
{
    if (displayMissing()) {
        std::fputs(kNoDisplay, stderr);
        return 1;
    }
    const QtMessageHandler previous = qInstallMessageHandler(startUpHandler);
    QApplication application(argc, argv);
    qInstallMessageHandler(previous);
    startUpMessages.clear();
    forms::loadToolkitTranslations(QLocale());

    forms::Form form(mainFormLayout(), mainFormBindings(), std::make_unique<forms::QtBackend>());
    form.show();
    return QApplication::exec();
}

} // namespace iitcalc::window
