#pragma once

#include <cstdint>
#include <cstdio>
#include <span>
#include <string>
#include <string_view>

namespace iitcalc::cli {

// False when the stream has failed, now or at an earlier buffered write.
bool write(std::FILE *stream, std::string_view text);
// "iitcalc-cli: 写入输出失败" on err; false.
bool reportWriteFailure(std::FILE *err);
// Flushes out; on failure reports it and gives false.
bool finish(std::FILE *out, std::FILE *err);
// What is wrong on one line of err, where the usage is on a second; 2.
int usageError(std::FILE *err, std::string_view problem);
// "第 2、5、9 行", with "等" when `total` is more than the numbers listed.
std::string rowList(std::span<const std::uint64_t> numbers, std::uint64_t total);

} // namespace iitcalc::cli
