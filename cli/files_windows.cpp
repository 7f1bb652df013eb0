#include "cli/files.h"

#include "calc/utf8.h"

#include <windows.h>

#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>

namespace iitcalc::cli {

namespace {

std::wstring widePath(const std::string &path)
{
    const std::u16string text = fromUtf8(path);
    return std::wstring(text.begin(), text.end());
}

} // namespace

std::FILE *openForReading(const std::string &path) { return _wfopen(widePath(path).c_str(), L"rb"); }

std::FILE *createNew(const std::string &path)
{
    const int descriptor =
        _wopen(widePath(path).c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY | _O_NOINHERIT, _S_IREAD | _S_IWRITE);
    if (descriptor < 0)
        return nullptr;
    std::FILE *const file = _fdopen(descriptor, "wb");
    if (file == nullptr)
        _close(descriptor);
    return file;
}

void removeFile(const std::string &path) { _wremove(widePath(path).c_str()); }

} // namespace iitcalc::cli
