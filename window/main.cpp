#include "window/main_window.h"
#include "window/start_up.h"

#include "window/layout.h"

#include <QApplication>

int main(int argc, char **argv)
{
    if (!iitcalc::window::displayAvailable())
        return iitcalc::window::reportNoDisplay();
    iitcalc::window::guardPlatformStart();
    QApplication application(argc, argv);
    iitcalc::window::endPlatformGuard();

    iitcalc::forms::Form form(iitcalc::window::mainFormLayout(), iitcalc::window::mainFormBindings());
    form.show();
    return QApplication::exec();
}
