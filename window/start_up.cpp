#include "window/start_up.h"

#include <QtGlobal>

#include <cstdio>
#include <cstdlib>

namespace iitcalc::window {

namespace {

constexpr const char *kNoDisplay = "iitcalc：找不到可用的图形显示，可以用 xvfb-run iitcalc 在虚拟显示上运行，"
                                   "或用 iitcalc-cli 收入 五险一金之和 在终端里计算。\n";

bool nonEmpty(const char *name)
{
    const char *value = std::getenv(name);
    return value && *value;
}

QtMessageHandler previousHandler = nullptr;

void startUpHandler(QtMsgType type, const QMessageLogContext &, const QString &)
{
    // Everything said while connecting is about the display; only its
    // failure matters, and that in plain words.
    if (type == QtFatalMsg) {
        std::fputs(kNoDisplay, stderr);
        std::_Exit(1);
    }
}

} // namespace

bool displayAvailable() { return nonEmpty("QT_QPA_PLATFORM") || nonEmpty("DISPLAY") || nonEmpty("WAYLAND_DISPLAY"); }

int reportNoDisplay()
{
    std::fputs(kNoDisplay, stderr);
    return 1;
}

void guardPlatformStart() { previousHandler = qInstallMessageHandler(startUpHandler); }

void endPlatformGuard() { qInstallMessageHandler(previousHandler); }

} // namespace iitcalc::window
