#include "calc/separators.h"

#include <emscripten.h>

#include <cstdlib>
#include <map>
#include <string>

namespace iitcalc {

namespace {

// The separators of a language as the JavaScript engine's Intl.NumberFormat
// writes 1234567890.5 in it (Latin digits), into out: the decimal, the
// grouping separator (0 for none) and the group sizes from the decimal
// leftwards, the last one repeating. An empty tag: the browser's language.
// Returns 0 when the engine does not know the language.
// clang-format off
EM_JS(int, intlSeparators, (const char *tag, int *out), {
    var language = UTF8ToString(tag);
    if (!language && typeof navigator === "object") language = navigator.language || "";
    var parts;
    try {
        if (!language || Intl.NumberFormat.supportedLocalesOf([language]).length === 0) return 0;
        parts = new Intl.NumberFormat(language, {numberingSystem: "latn"}).formatToParts(1234567890.5);
    } catch (error) {
        return 0;
    }
    var decimal = 0;
    var grouping = 0;
    var groups = [];
    parts.forEach(function(part) {
        if (part.type === "decimal") decimal = part.value.charCodeAt(0);
        if (part.type === "group") grouping = part.value.charCodeAt(0);
        if (part.type === "integer") groups.push(part.value.length);
    });
    // The leftmost group is whatever digits are left over; a size that
    // repeats to the end is given once.
    var sizes = grouping ? groups.slice(1).reverse() : [];
    while (sizes.length > 1 && sizes[sizes.length - 1] === sizes[sizes.length - 2]) sizes.pop();
    HEAP32[out >> 2] = decimal || 46;
    HEAP32[(out >> 2) + 1] = sizes.length ? grouping : 0;
    for (var i = 0; i < 4; ++i) HEAP32[(out >> 2) + 2 + i] = i < sizes.length ? sizes[i] : 0;
    return 1;
});

// Under Node (iitcalc-cli): the environment variable's value, or null when
// it is unset. In a browser every variable is unset.
EM_JS(char *, nodeEnvironment, (const char *name), {
    if (typeof process !== "object" || !process.env) return 0;
    var value = process.env[UTF8ToString(name)];
    if (value === undefined) return 0;
    var length = lengthBytesUTF8(value) + 1;
    var copy = _malloc(length);
    stringToUTF8(value, copy, length);
    return copy;
});

EM_JS(int, runsUnderNode, (), {
    return typeof process === "object" && typeof process.versions === "object" && !!process.versions.node;
});
// clang-format on

Separators fromIntl(const std::string &tag)
{
    int out[6] = {};
    if (!intlSeparators(tag.c_str(), out))
        return {u'.', 0, {}};
    Separators separators{static_cast<char16_t>(out[0]), static_cast<char16_t>(out[1]), {}};
    for (std::size_t i = 0; i < separators.groupSizes.size(); ++i)
        separators.groupSizes[i] = static_cast<std::uint8_t>(out[2 + i]);
    return separators;
}

// A POSIX locale name as a language tag: "zh_CN.UTF-8" is "zh-CN"; the C
// locale has none.
std::string languageTag(std::string name)
{
    name = name.substr(0, name.find_first_of(".@"));
    if (name == "C" || name == "POSIX")
        return {};
    for (char &c : name) {
        if (c == '_')
            c = '-';
    }
    return name;
}

} // namespace

// Under Node, the locale the environment names, as on Linux, its separators
// as the engine writes numbers in that language (C's where it knows none);
// in a browser, the browser's language.
Separators systemSeparators()
{
    if (!runsUnderNode())
        return fromIntl({});
    static std::map<std::string, std::string> values;
    const std::string tag = languageTag(numericLocaleName([](const char *variable) -> const char * {
        char *value = nodeEnvironment(variable);
        if (!value)
            return nullptr;
        const std::string &kept = values[variable] = value;
        std::free(value);
        return kept.c_str();
    }));
    return tag.empty() ? Separators{u'.', 0, {}} : fromIntl(tag);
}

} // namespace iitcalc
