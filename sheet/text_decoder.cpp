#include "sheet/text_decoder.h"

#include "calc/utf8.h"
#include "sheet/gb18030.h"

#include <algorithm>
#include <cstring>

namespace iitcalc::sheet {

namespace {

constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";
// How much of the start may tell UTF-16 by its NULs, and how much from the
// first byte that is not ASCII tells UTF-8 from GB18030.
constexpr std::size_t kNulWindow = 64;
constexpr std::size_t kUtf8Window = 1024;

char fold(char c)
{
    if (c >= 'A' && c <= 'Z')
        return static_cast<char>(c - 'A' + 'a');
    return c == '_' ? '-' : c;
}

std::size_t utf8Length(unsigned char lead) { return lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC2 ? 2 : 1; }

// Whether the U+FFFD that decodeUtf8Sequence gave for `at` was in the text.
bool isWrittenReplacement(const char *at, const char *end)
{
    return end - at >= 3 && std::string_view(at, 3) == "\xEF\xBF\xBD";
}

// Whether `bytes` are UTF-8, a sequence cut short at their end included.
bool readsAsUtf8(std::string_view bytes)
{
    const char *p = bytes.data();
    const char *const end = p + bytes.size();
    while (p < end) {
        const auto lead = static_cast<unsigned char>(*p);
        if (lead < 0x80) {
            ++p;
            continue;
        }
        if (static_cast<std::size_t>(end - p) < utf8Length(lead))
            return std::all_of(p + 1, end, [](char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; });
        const char *const at = p;
        if (decodeUtf8Sequence(p, end) == kReplacementCharacter && !isWrittenReplacement(at, end))
            return false;
    }
    return true;
}

} // namespace

std::optional<Encoding> encodingNamed(std::string_view name)
{
    std::string folded;
    for (const char c : name)
        folded += fold(c);
    if (folded == "utf-8" || folded == "utf8")
        return Encoding::Utf8;
    if (folded == "utf-16le" || folded == "utf16le")
        return Encoding::Utf16LittleEndian;
    if (folded == "utf-16be" || folded == "utf16be")
        return Encoding::Utf16BigEndian;
    for (const std::string_view gb : {"gb18030", "gbk", "gb2312", "cp936", "936", "54936"}) {
        if (folded == gb)
            return Encoding::Gb18030;
    }
    return std::nullopt;
}

std::string_view encodingName(Encoding encoding)
{
    switch (encoding) {
    case Encoding::Utf8:
        return "UTF-8";
    case Encoding::Utf16LittleEndian:
        return "UTF-16LE";
    case Encoding::Utf16BigEndian:
        return "UTF-16BE";
    case Encoding::Gb18030:
        return "GB18030";
    case Encoding::Detect:
        break;
    }
    return "";
}

TextDecoder::TextDecoder(Encoding encoding)
    : m_encoding(encoding)
{
}

void TextDecoder::decode(std::string_view bytes, std::string &out)
{
    if (m_encoding != Encoding::Detect) {
        decodeDecided(bytes, false, out);
        return;
    }
    m_held.append(bytes);
    detect(false, out);
}

void TextDecoder::finish(std::string &out)
{
    if (m_encoding == Encoding::Detect)
        detect(true, out);
    else
        decodeDecided({}, true, out);
}

void TextDecoder::detect(bool final, std::string &out)
{
    const std::string_view held = m_held;
    if (!m_sniffedStart) {
        if (held.starts_with(kUtf8Mark)) {
            m_encoding = Encoding::Utf8;
        } else if (held.starts_with("\xFF\xFE") || held.starts_with("\xFE\xFF")) {
            m_encoding = held[0] == '\xFF' ? Encoding::Utf16LittleEndian : Encoding::Utf16BigEndian;
            m_held.erase(0, 2);
        } else if (!final && held.size() < kUtf8Mark.size() &&
                   (kUtf8Mark.starts_with(held) || held == "\xFF" || held == "\xFE")) {
            return;
        } else {
            const std::string_view start = held.substr(0, kNulWindow);
            std::size_t even = 0;
            std::size_t odd = 0;
            for (std::size_t i = 0; i < start.size(); ++i) {
                if (start[i] == '\0')
                    ++(i % 2 == 0 ? even : odd);
            }
            if (even + odd > 0)
                m_encoding = odd >= even ? Encoding::Utf16LittleEndian : Encoding::Utf16BigEndian;
            else if (!final && held.size() < kNulWindow)
                return;
        }
        m_sniffedStart = true;
        if (m_encoding != Encoding::Detect) {
            decodeDecided({}, final, out);
            return;
        }
    }

    // ASCII reads the same either way and goes out at once.
    const auto firstWide = std::find_if(m_held.begin(), m_held.end(), [](char c) { return c & 0x80; });
    const auto ascii = static_cast<std::size_t>(firstWide - m_held.begin());
    if (ascii > 0) {
        const std::size_t start = out.size();
        out.append(m_held, 0, ascii);
        dropLeadingByteOrderMarks(out, start);
        m_held.erase(0, ascii);
    }
    if (m_held.empty()) {
        if (final)
            m_encoding = Encoding::Utf8;
        return;
    }
    if (!final && m_held.size() < kUtf8Window)
        return;
    m_encoding = readsAsUtf8(std::string_view(m_held).substr(0, kUtf8Window)) ? Encoding::Utf8 : Encoding::Gb18030;
    decodeDecided({}, final, out);
}

void TextDecoder::decodeDecided(std::string_view bytes, bool final, std::string &out)
{
    std::string_view input = bytes;
    if (!m_held.empty()) {
        m_held.append(bytes);
        input = m_held;
    }
    const std::size_t start = out.size();
    std::size_t used = 0;
    switch (m_encoding) {
    case Encoding::Utf16LittleEndian:
    case Encoding::Utf16BigEndian:
        used = decodeUtf16(input, final, out);
        break;
    case Encoding::Gb18030:
        used = decodeGb18030(input, final, out);
        break;
    default:
        used = decodeUtf8(input, final, out);
        break;
    }
    dropLeadingByteOrderMarks(out, start);
    if (input.data() == m_held.data())
        m_held.erase(0, used);
    else
        m_held.assign(input.substr(used));
}

void TextDecoder::replace(std::string &out)
{
    out += "\xEF\xBF\xBD";
    ++m_replaced;
}

void TextDecoder::dropLeadingByteOrderMarks(std::string &out, std::size_t from)
{
    if (!m_atStart)
        return;
    std::size_t marks = from;
    while (std::string_view(out).substr(marks).starts_with(kUtf8Mark))
        marks += kUtf8Mark.size();
    out.erase(from, marks - from);
    m_atStart = out.size() == from;
}

std::size_t TextDecoder::decodeUtf8(std::string_view bytes, bool final, std::string &out)
{
    const char *p = bytes.data();
    const char *const end = p + bytes.size();
    const char *run = p;
    while (p < end) {
        // Eight ASCII bytes at a time, the common case.
        std::uint64_t word = 0;
        while (end - p >= 8 && (std::memcpy(&word, p, 8), (word & 0x8080808080808080u) == 0))
            p += 8;
        if (p == end)
            break;
        const auto lead = static_cast<unsigned char>(*p);
        if (lead < 0x80) {
            ++p;
            continue;
        }
        // Most of a sheet's other text is CJK: three bytes whose lead rules
        // out a surrogate and an overlong form, taken without decoding.
        if (lead >= 0xE1 && lead <= 0xEC && end - p >= 3 && (static_cast<unsigned char>(p[1]) & 0xC0) == 0x80 &&
            (static_cast<unsigned char>(p[2]) & 0xC0) == 0x80) {
            p += 3;
            continue;
        }
        if (!final && static_cast<std::size_t>(end - p) < utf8Length(lead) &&
            std::all_of(p + 1, end, [](char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }))
            break;
        const char *const at = p;
        if (decodeUtf8Sequence(p, end) == kReplacementCharacter && !isWrittenReplacement(at, end)) {
            out.append(run, at);
            replace(out);
            run = p;
        }
    }
    out.append(run, p);
    return static_cast<std::size_t>(p - bytes.data());
}

std::size_t TextDecoder::decodeUtf16(std::string_view bytes, bool final, std::string &out)
{
    const bool little = m_encoding == Encoding::Utf16LittleEndian;
    const auto *const data = reinterpret_cast<const unsigned char *>(bytes.data());
    std::size_t i = 0;
    char encoded[4];
    for (; i + 1 < bytes.size(); i += 2) {
        const auto unit = static_cast<char16_t>(little ? data[i] | data[i + 1] << 8 : data[i] << 8 | data[i + 1]);
        const bool high = unit >= 0xD800 && unit <= 0xDBFF;
        const bool low = unit >= 0xDC00 && unit <= 0xDFFF;
        if (m_highSurrogate != 0) {
            if (low) {
                const char32_t c = 0x10000 + ((char32_t{m_highSurrogate} - 0xD800) << 10) + (unit - 0xDC00u);
                m_highSurrogate = 0;
                out.append(encoded, encodeUtf8(c, encoded));
                continue;
            }
            m_highSurrogate = 0;
            replace(out);
        }
        if (high)
            m_highSurrogate = unit;
        else if (low)
            replace(out);
        else if (unit < 0x80)
            out += static_cast<char>(unit);
        else
            out.append(encoded, encodeUtf8(unit, encoded));
    }
    if (final) {
        if (m_highSurrogate != 0) {
            m_highSurrogate = 0;
            replace(out);
        }
        if (i < bytes.size()) {
            replace(out);
            i = bytes.size();
        }
    }
    return i;
}

std::size_t TextDecoder::decodeGb18030(std::string_view bytes, bool final, std::string &out)
{
    const auto *const data = reinterpret_cast<const unsigned char *>(bytes.data());
    const std::size_t size = bytes.size();
    std::size_t p = 0;
    std::size_t run = 0;
    bool wide = false; // the run holds more than ASCII
    const auto flush = [&] {
        if (wide)
            m_replaced += appendGb18030(bytes.substr(run, p - run), out);
        else
            out.append(bytes, run, p - run);
        wide = false;
    };
    while (p < size) {
        if (data[p] < 0x80) {
            ++p;
            continue;
        }
        int length = gb18030Sequence(data + p, size - p);
        if (length > 0) {
            p += static_cast<std::size_t>(length);
            wide = true;
            continue;
        }
        flush();
        if (length == 0) {
            if (!final)
                return p;
            length = -1;
        }
        if (data[p] == 0x80)
            out += "\xE2\x82\xAC";
        else
            replace(out);
        p += static_cast<std::size_t>(-length);
        run = p;
    }
    flush();
    return p;
}

} // namespace iitcalc::sheet
