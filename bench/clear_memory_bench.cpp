// Resident memory over many Clears of the real window, beside a bare window
// rebuilt as often, in one run. Each Clear destroys the window and builds it
// anew; what it leaks shows as steady growth after the first hundred.
//   clear_memory_bench [CLEARS]       (default 10000; any Qt platform, xcb
//                                      under Xvfb shows what a desktop keeps)
#include "bench/bare_window.h"
#include "forms/form.h"
#include "forms/qt/qt_backend.h"
#include "window/layout.h"
#include "window/main_window.h"

#include <QApplication>
#include <QIcon>
#include <QPushButton>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>

namespace {

using namespace iitcalc;

long residentKilobytes()
{
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind("VmRSS:", 0) == 0)
            return std::atol(line.c_str() + 6);
    }
    return -1;
}

void settle()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
}

// Growth in kilobytes from after the first hundred Clears to the end.
long oursGrowth(int clears)
{
    forms::Form form(window::mainFormLayout(), window::mainFormBindings(), std::make_unique<forms::QtBackend>(),
                     [](const forms::RunTimeFailure &) {});
    form.show();
    const auto clear = [&] {
        qobject_cast<QPushButton *>(forms::widgetOf(form, window::kClearButton))->click();
        settle();
    };
    for (int i = 0; i < 100; ++i)
        clear();
    const long before = residentKilobytes();
    for (int i = 0; i < clears; ++i)
        clear();
    return residentKilobytes() - before;
}

long bareGrowth(int clears)
{
    const QIcon icon(QStringLiteral(":/iitcalc/iitcalc.svg"));
    std::unique_ptr<QWidget> window;
    const auto rebuild = [&] {
        window.reset(bench::buildBareWindow());
        window->setWindowIcon(icon);
        window->show();
        settle();
    };
    for (int i = 0; i < 100; ++i)
        rebuild();
    const long before = residentKilobytes();
    for (int i = 0; i < clears; ++i)
        rebuild();
    return residentKilobytes() - before;
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    const int clears = argc > 1 ? std::atoi(argv[1]) : 10000;
    const long bare = bareGrowth(clears);
    const long ours = oursGrowth(clears);
    std::printf("resident memory growth over %d Clears after the first 100 (%s)\n", clears,
                qPrintable(QGuiApplication::platformName()));
    std::printf("%-28s %8ld KB   target < 1024 KB\n%-28s %8ld KB\n", "iitcalc (Clear)", ours,
                "bare window (shared icon)", bare);
    return ours < 1024 ? 0 : 1;
}
