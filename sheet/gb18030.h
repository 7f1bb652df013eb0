#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace iitcalc::sheet {

// The length of the GB18030 sequence that `bytes` (`size` of them, at least
// one) begins with: 1, 2 or 4 for one that a code point stands for; 0 when
// more bytes are needed to tell; -N for N malformed bytes, which one U+FFFD
// replaces (-1 for a lead whose second byte is not a trail: that byte is
// read again). Only the framing and the ranges of the four-byte codes are
// checked here, never a table. The lone byte 0x80 is -1.
inline int gb18030Sequence(const unsigned char *bytes, std::size_t size)
{
    const unsigned first = bytes[0];
    if (first < 0x80)
        return 1;
    if (first == 0x80 || first == 0xFF)
        return -1;
    if (size < 2)
        return 0;
    const unsigned second = bytes[1];
    if ((second >= 0x40 && second <= 0x7E) || (second >= 0x80 && second <= 0xFE))
        return 2;
    if (second < 0x30 || second > 0x39)
        return -1;
    if (size < 3)
        return 0;
    const unsigned third = bytes[2];
    if (third < 0x81 || third > 0xFE)
        return -1;
    if (size < 4)
        return 0;
    const unsigned fourth = bytes[3];
    if (fourth < 0x30 || fourth > 0x39)
        return -1;
    // The four-byte codes count on from 81 30 81 30: the first 39,420 stand
    // for the rest of the basic plane, those from 90 30 81 30 for the
    // supplementary planes; the codes between and beyond stand for nothing.
    const unsigned long linear =
        (((first - 0x81) * 10ul + (second - 0x30)) * 126ul + (third - 0x81)) * 10ul + (fourth - 0x30);
    if (linear <= 39419 || (linear >= 189000 && linear <= 189000 + 0xFFFFF))
        return 4;
    return -4;
}

// Appends the UTF-8 of `sequences`, whole sequences that gb18030Sequence
// takes (ASCII among them), to `out`, with what the platform has: iconv,
// the Windows code page 54936, or the browser's TextDecoder. Returns how
// many it could not decode and wrote as U+FFFD: none where the platform
// has all of GB18030. A Windows without code page 54936 (Wine) decodes the
// one- and two-byte codes as GBK and the four-byte codes of the
// supplementary planes, and writes U+FFFD for the four-byte codes of the
// basic plane, which only GB18030's own table maps.
std::size_t appendGb18030(std::string_view sequences, std::string &out);
// Whether appendGb18030 decodes every code: false only on a Windows
// without code page 54936.
bool hasWholeGb18030();

} // namespace iitcalc::sheet
