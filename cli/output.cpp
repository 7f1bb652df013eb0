#include "cli/output.h"

#include "cli/cli.h"
#include "cli/files.h"

#include <cerrno>

namespace iitcalc::cli {

bool write(std::FILE *stream, std::string_view text)
{
    return std::fwrite(text.data(), 1, text.size(), stream) == text.size() && std::ferror(stream) == 0;
}

bool reportWriteFailure(std::FILE *err)
{
    write(err, "iitcalc-cli: 写入输出失败\n");
    return false;
}

bool finish(std::FILE *out, std::FILE *err)
{
    if (std::fflush(out) != 0 || std::ferror(out) != 0)
        return reportWriteFailure(err);
    return true;
}

int usageError(std::FILE *err, std::string_view problem)
{
    std::string text = "iitcalc-cli: ";
    text.append(problem).append("\n请执行“iitcalc-cli --help”查看用法。\n");
    write(err, text);
    return kExitUsage;
}

std::string rowList(std::span<const std::uint64_t> numbers, std::uint64_t total)
{
    std::string list = "第 ";
    for (std::size_t i = 0; i < numbers.size(); ++i)
        list.append(i == 0 ? "" : "、").append(std::to_string(numbers[i]));
    list += " 行";
    if (total > numbers.size())
        list += "等";
    return list;
}

std::string errorText(int error)
{
    switch (error) {
    case ENOENT:
        return "文件不存在";
    case EACCES:
    case EPERM:
        return "没有权限";
    case EEXIST:
        return "文件已存在";
    case EISDIR:
        return "这是一个文件夹";
    case ENOSPC:
        return "磁盘已满";
    case EROFS:
        return "只读的文件系统";
    default:
        return "错误 " + std::to_string(error);
    }
}

} // namespace iitcalc::cli
