#include "window/qt/run_on_qt.h"

int main(int argc, char **argv) { return iitcalc::window::runOnQt(argc, argv); }
