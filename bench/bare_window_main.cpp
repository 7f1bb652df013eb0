// The baseline for the launch benchmark: the same window, built plainly.
#include "bench/bare_window.h"

#include <QApplication>
#include <QWidget>

int main(int argc, char **argv)
{
    QApplication application(argc, argv);
    QWidget *window = iitcalc::bench::buildBareWindow();
    window->show();
    const int status = QApplication::exec();
    delete window;
    return status;
}
