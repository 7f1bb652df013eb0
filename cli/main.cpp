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
    int status = 0;
    {
        const iitcalc::cli::ConsoleStreams console;
        status = iitcalc::cli::run(args, console.streams(), iitcalc::systemSeparators());
    }
    // A sheet dropped on the program: what became of it stays readable
    // until the user has read it.
    if (args.size() == 1 && !args[0].starts_with("-") && iitcalc::cli::consoleOpenedForThisProgram())
        iitcalc::cli::waitForEnter();
    return status;
}

#else

#include <unistd.h>

#ifdef __EMSCRIPTEN__

#include <emscripten.h>

// Under Node the C library takes every standard stream for a terminal;
// Node itself knows.
EM_JS(int, inputIsTerminal, (), { return typeof process == 'object' && require('tty').isatty(0) ? 1 : 0; });

// Node puts /dev/null, opened for reading and writing, in place of a
// standard stream that was closed when it started, so reads would find an
// empty input and writes would vanish. Seen on Linux by that open mode,
// which a shell's redirection never gives.
EM_JS(int, closedAtStart, (int fd), {
    try {
        const fs = require('fs');
        if (fs.readlinkSync('/proc/self/fd/' + fd) != '/dev/null')
            return 0;
        const info = fs.readFileSync('/proc/self/fdinfo/' + fd, 'utf8');
        const at = info.indexOf('flags:');
        return at >= 0 && (parseInt(info.slice(at + 6).trim(), 8) & 3) == 2 ? 1 : 0;
    } catch (e) {
        return 0;
    }
});

#else

bool inputIsTerminal() { return isatty(STDIN_FILENO) != 0; }

#endif

int main(int argc, char **argv)
{
#ifdef __EMSCRIPTEN__
    // Closed again, so that reading or writing fails as it does natively.
    for (const int fd : {STDIN_FILENO, STDOUT_FILENO}) {
        if (closedAtStart(fd) != 0)
            close(fd);
    }
#endif
    static char outBuffer[1 << 16];
    std::setvbuf(stdout, outBuffer, _IOFBF, sizeof outBuffer);
    const std::vector<std::string_view> args(argv + 1, argv + argc);
    const iitcalc::cli::Streams streams{stdin, stdout, stderr, inputIsTerminal() != 0};
    return iitcalc::cli::run(args, streams, iitcalc::systemSeparators());
}

#endif
