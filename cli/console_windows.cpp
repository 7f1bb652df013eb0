#include "cli/console_windows.h"

#include "calc/utf8.h"

#include <windows.h>

#include <algorithm>
#include <fcntl.h>
#include <io.h>
#include <string_view>
#include <thread>

namespace iitcalc::cli {

namespace {

bool isConsole(HANDLE handle)
{
    DWORD mode = 0;
    return handle != nullptr && handle != INVALID_HANDLE_VALUE && GetConsoleMode(handle, &mode) != 0;
}

// The length of the longest prefix of `bytes` that does not end inside a
// UTF-8 sequence, so that a sequence split across two reads is decoded whole.
std::size_t completeUtf8Length(std::string_view bytes)
{
    const std::size_t size = bytes.size();
    for (std::size_t back = 1; back <= 3 && back <= size; ++back) {
        const auto byte = static_cast<unsigned char>(bytes[size - back]);
        if ((byte & 0xC0) == 0x80)
            continue; // a continuation byte: the lead is further back
        const std::size_t needed = byte >= 0xF0 ? 4 : byte >= 0xE0 ? 3 : byte >= 0xC0 ? 2 : 1;
        return needed > back ? size - back : size;
    }
    return size;
}

void writeConsole(HANDLE console, std::string_view utf8)
{
    const std::u16string text = fromUtf8(utf8);
    // Old consoles refuse very long writes; a few thousand characters at a
    // time always go through.
    constexpr std::size_t kChunk = 8192;
    for (std::size_t start = 0, count = 0; start < text.size(); start += count) {
        count = std::min(kChunk, text.size() - start);
        if (count < text.size() - start && text[start + count - 1] >= 0xD800 && text[start + count - 1] <= 0xDBFF)
            --count; // a surrogate pair stays in one write
        const std::wstring chunk(text.begin() + static_cast<std::ptrdiff_t>(start),
                                 text.begin() + static_cast<std::ptrdiff_t>(start + count));
        DWORD written = 0;
        if (WriteConsoleW(console, chunk.data(), static_cast<DWORD>(chunk.size()), &written, nullptr) == 0)
            return;
    }
}

} // namespace

// A FILE* for run() whose bytes go through a pipe to a thread that writes
// them to the console as UTF-16.
class ConsoleStreams::ConsoleWriter {
public:
    static std::unique_ptr<ConsoleWriter> open(HANDLE console, bool unbuffered)
    {
        HANDLE readEnd = nullptr;
        HANDLE writeEnd = nullptr;
        if (CreatePipe(&readEnd, &writeEnd, nullptr, 0) == 0)
            return nullptr;
        const int descriptor = _open_osfhandle(reinterpret_cast<intptr_t>(writeEnd), _O_WRONLY | _O_BINARY);
        if (descriptor == -1) {
            CloseHandle(readEnd);
            CloseHandle(writeEnd);
            return nullptr;
        }
        std::FILE *stream = _fdopen(descriptor, "wb");
        if (stream == nullptr) {
            _close(descriptor);
            CloseHandle(readEnd);
            return nullptr;
        }
        if (unbuffered)
            std::setvbuf(stream, nullptr, _IONBF, 0);
        return std::unique_ptr<ConsoleWriter>(new ConsoleWriter(console, readEnd, stream));
    }

    ~ConsoleWriter()
    {
        std::fclose(m_stream); // the thread sees the end of the pipe
        m_thread.join();
        CloseHandle(m_readEnd);
    }

    ConsoleWriter(const ConsoleWriter &) = delete;
    ConsoleWriter &operator=(const ConsoleWriter &) = delete;

    std::FILE *stream() const { return m_stream; }

private:
    ConsoleWriter(HANDLE console, HANDLE readEnd, std::FILE *stream)
        : m_readEnd(readEnd)
        , m_stream(stream)
        , m_thread([console, readEnd] { copyToConsole(console, readEnd); })
    {
    }

    static void copyToConsole(HANDLE console, HANDLE readEnd)
    {
        std::string pending;
        char buffer[4096];
        DWORD count = 0;
        while (ReadFile(readEnd, buffer, sizeof buffer, &count, nullptr) != 0 && count > 0) {
            pending.append(buffer, count);
            const std::size_t complete = completeUtf8Length(pending);
            writeConsole(console, std::string_view(pending).substr(0, complete));
            pending.erase(0, complete);
        }
        writeConsole(console, pending); // a truncated sequence shows as U+FFFD
    }

    HANDLE m_readEnd;
    std::FILE *m_stream;
    std::thread m_thread;
};

std::vector<std::string> utf8Arguments(int argc, const wchar_t *const *argv)
{
    std::vector<std::string> arguments;
    for (int i = 1; i < argc; ++i) {
        const std::wstring_view wide(argv[i]);
        arguments.push_back(toUtf8(std::u16string(wide.begin(), wide.end())));
    }
    return arguments;
}

ConsoleStreams::ConsoleStreams()
{
    static char outBuffer[1 << 16];

    // Text mode would turn CRLF into LF on the way in (and stop at Ctrl+Z)
    // and LF into CRLF on the way out.
    _setmode(_fileno(stdin), _O_BINARY);
    m_streams = Streams{stdin, stdout, stderr, isConsole(GetStdHandle(STD_INPUT_HANDLE))};

    const HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
    if (isConsole(out))
        m_outWriter = ConsoleWriter::open(out, false);
    if (m_outWriter) {
        m_streams.out = m_outWriter->stream();
    } else {
        _setmode(_fileno(stdout), _O_BINARY);
        std::setvbuf(stdout, outBuffer, _IOFBF, sizeof outBuffer);
    }

    const HANDLE err = GetStdHandle(STD_ERROR_HANDLE);
    if (isConsole(err))
        m_errWriter = ConsoleWriter::open(err, true);
    if (m_errWriter)
        m_streams.err = m_errWriter->stream();
    else
        _setmode(_fileno(stderr), _O_BINARY);
}

ConsoleStreams::~ConsoleStreams()
{
    // Output before errors, as the program wrote them.
    m_outWriter.reset();
    m_errWriter.reset();
}

} // namespace iitcalc::cli

namespace iitcalc::cli {

bool consoleOpenedForThisProgram()
{
    DWORD processes[2];
    return isConsole(GetStdHandle(STD_ERROR_HANDLE)) && GetConsoleProcessList(processes, 2) == 1;
}

void waitForEnter()
{
    const HANDLE console = GetStdHandle(STD_ERROR_HANDLE);
    const std::wstring prompt = L"按回车键关闭此窗口。";
    DWORD count = 0;
    WriteConsoleW(console, prompt.data(), static_cast<DWORD>(prompt.size()), &count, nullptr);
    const HANDLE input = CreateFileW(L"CONIN$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                     nullptr, OPEN_EXISTING, 0, nullptr);
    if (input == INVALID_HANDLE_VALUE)
        return;
    wchar_t typed[64];
    ReadConsoleW(input, typed, 64, &count, nullptr);
    CloseHandle(input);
}

} // namespace iitcalc::cli
