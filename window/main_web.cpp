#include "window/web/run_on_web.h"

int main() { return iitcalc::window::runOnWeb(); }
