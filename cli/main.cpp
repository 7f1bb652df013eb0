#include "cli/cli.h"

#include <cstdio>
#include <string_view>
#include <unistd.h>
#include <vector>

int main(int argc, char **argv)
{
    static char outBuffer[1 << 16];
    std::setvbuf(stdout, outBuffer, _IOFBF, sizeof outBuffer);
    const std::vector<std::string_view> args(argv + 1, argv + argc);
    const iitcalc::cli::Streams streams{stdin, stdout, stderr, isatty(STDIN_FILENO) != 0};
    return iitcalc::cli::run(args, streams, iitcalc::systemSeparators());
}
