#include "calc/separators.h"

#include <cstdlib>

namespace iitcalc {

Separators systemSeparators()
{
    return localeSeparators(
        numericLocaleName([](const char *variable) -> const char * { return std::getenv(variable); }));
}

} // namespace iitcalc
