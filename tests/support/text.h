#pragma once

#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

namespace iitcalc::testing_support {

// A file's bytes; none where it cannot be read.
inline std::string slurp(const std::filesystem::path &path)
{
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), {});
}

inline std::string repeated(std::string_view text, int times)
{
    std::string all;
    for (int i = 0; i < times; ++i)
        all += text;
    return all;
}

} // namespace iitcalc::testing_support
