#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace iitcalc::sheet {

// The encodings a clerk's file comes in. GB18030 covers GBK and GB2312, what
// spreadsheets on Chinese Windows save as "ANSI".
enum class Encoding : std::uint8_t { Detect, Utf8, Utf16LittleEndian, Utf16BigEndian, Gb18030 };

// The encoding an option names, case and '-' or '_' aside: "utf-8",
// "utf-16le", "utf-16be", "gb18030" (and "gbk", "gb2312", "cp936",
// "936", "54936" for it); nothing for any other name. "UTF8" gives Utf8.
std::optional<Encoding> encodingNamed(std::string_view name);
// "UTF-8", "UTF-16LE", "UTF-16BE", "GB18030"; "" while undecided.
std::string_view encodingName(Encoding encoding);

// Bytes in, UTF-8 out, a piece at a time: a sequence split between two
// pieces is decoded whole. Detect decides from the start of the text: a
// byte-order mark (UTF-8, UTF-16 in either order); NUL bytes among the
// first 64, as UTF-16 without a mark has them, in the order their places
// say; otherwise UTF-8 when the first 1 KiB from the first byte that is
// not ASCII reads as UTF-8, and GB18030 when it does not. Text that is ASCII
// alone is given out before that decision. Byte-order marks at the very
// start of the text are dropped, all of them. A malformed sequence becomes
// U+FFFD and is counted; so are unpaired surrogates. In GB18030 the byte
// 0x80 is "€", as GBK has it. "\xD6\xD0" decodes "中" (GB18030);
// "\xFF\xFE" "1\0" decodes "1".
class TextDecoder {
public:
    explicit TextDecoder(Encoding encoding = Encoding::Detect);

    // Appends what `bytes` completes to `out`; holds back what it cannot
    // decide or complete yet (at most 1 KiB and a few bytes).
    void decode(std::string_view bytes, std::string &out);
    // The end of the input: whatever is held is decided and decoded, an
    // incomplete sequence as U+FFFD.
    void finish(std::string &out);

    // Detect until the text has decided it.
    Encoding encoding() const { return m_encoding; }
    // How many U+FFFD were written for bytes that were not text.
    std::uint64_t replaced() const { return m_replaced; }

private:
    void detect(bool final, std::string &out);
    void decodeDecided(std::string_view bytes, bool final, std::string &out);
    std::size_t decodeUtf8(std::string_view bytes, bool final, std::string &out);
    std::size_t decodeUtf16(std::string_view bytes, bool final, std::string &out);
    std::size_t decodeGb18030(std::string_view bytes, bool final, std::string &out);
    void replace(std::string &out);
    void dropLeadingByteOrderMarks(std::string &out, std::size_t from);

    Encoding m_encoding;
    std::string m_held;
    bool m_atStart = true;       // nothing but byte-order marks given out yet
    bool m_sniffedStart = false; // the marks and NULs of the start looked at
    char16_t m_highSurrogate = 0;
    std::uint64_t m_replaced = 0;
};

} // namespace iitcalc::sheet
