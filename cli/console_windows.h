#pragma once

#include "cli/cli.h"

#include <memory>
#include <string>
#include <vector>

namespace iitcalc::cli {

// The arguments after the program's name, from the UTF-16 command line
// that wmain receives, as UTF-8. An unpaired surrogate becomes U+FFFD.
// {L"iitcalc-cli", L"8000元"} gives {"8000元"}.
std::vector<std::string> utf8Arguments(int argc, const wchar_t *const *argv);

// The standard streams set up for run(), which reads and writes UTF-8 bytes.
// Input and redirected output are binary: CRLF lines reach the batch as they
// are and output keeps LF line ends, byte for byte as on Linux. Output to a
// console is decoded and written with WriteConsoleW, so Chinese shows
// correctly whatever the console's code page. Construct once at the start of
// the program; destruction writes out what is left.
class ConsoleStreams {
public:
    ConsoleStreams();
    ~ConsoleStreams();
    ConsoleStreams(const ConsoleStreams &) = delete;
    ConsoleStreams &operator=(const ConsoleStreams &) = delete;

    const Streams &streams() const { return m_streams; }

private:
    class ConsoleWriter;

    std::unique_ptr<ConsoleWriter> m_outWriter;
    std::unique_ptr<ConsoleWriter> m_errWriter;
    Streams m_streams{};
};

// Whether the console is this program's alone, as when Explorer opened it
// for a file dropped on the program: it closes as soon as the program ends.
bool consoleOpenedForThisProgram();
// Asks for Enter on the console and waits for it.
void waitForEnter();

} // namespace iitcalc::cli
