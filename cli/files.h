#pragma once

#include <cstdio>
#include <string>
#include <string_view>

namespace iitcalc::cli {

// A file named in UTF-8 (UTF-16 underneath on Windows), opened for reading
// bytes; null with errno set on failure.
std::FILE *openForReading(const std::string &path);
// A new file for writing bytes; null with errno EEXIST when the name is
// taken, so that nothing is ever overwritten.
std::FILE *createNew(const std::string &path);
// Removes a file this program created and could not finish.
void removeFile(const std::string &path);
// What went wrong, in the user's words, for an errno.
std::string errorText(int error);

} // namespace iitcalc::cli
