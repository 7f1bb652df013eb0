#include "cli/files.h"

#include <fcntl.h>
#include <unistd.h>

namespace iitcalc::cli {

std::FILE *openForReading(const std::string &path) { return std::fopen(path.c_str(), "rb"); }

std::FILE *createNew(const std::string &path)
{
    const int descriptor = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (descriptor < 0)
        return nullptr;
    std::FILE *const file = fdopen(descriptor, "wb");
    if (file == nullptr)
        close(descriptor);
    return file;
}

void removeFile(const std::string &path) { unlink(path.c_str()); }

} // namespace iitcalc::cli
