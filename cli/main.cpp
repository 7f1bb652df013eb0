#include "cli/cli.h"

#include <cstdio>
#include <string_view>
#include <vector>

#ifdef _WIN32

#include "cli/console_windows.h"

#include <string>

// wmain, so that the arguments arrive as UTF-16 whatever the code page.
int wmain(int argc, wchar_t **argv)
{
    const std::vector<std::string> utf8 = iitcalc::cli::utf8Arguments(argc, argv);
    const std::vector<std::string_view> args(utf8.begin(), utf8.end());
    const iitcalc::cli::ConsoleStreams console;
    return iitcalc::cli::run(args, console.streams(), iitcalc::systemSeparators());
}

#else

#ifdef __EMSCRIPTEN__

#include <emscripten.h>

// Under Node the C library takes every standard stream for a terminal;
// Node itself knows.
EM_JS(int, inputIsTerminal, (), { return typeof process == 'object' && require('tty').isatty(0) ? 1 : 0; });

#else

#include <unistd.h>

bool inputIsTerminal() { return isatty(STDIN_FILENO) != 0; }

#endif

int main(int argc, char **argv)
{
    static char outBuffer[1 << 16];
    std::setvbuf(stdout, outBuffer, _IOFBF, sizeof outBuffer);
    const std::vector<std::string_view> args(argv + 1, argv + argc);
    const iitcalc::cli::Streams streams{stdin, stdout, stderr, inputIsTerminal() != 0};
    return iitcalc::cli::run(args, streams, iitcalc::systemSeparators());
}

#endif
