#include "simhost/Unicode.h"

#include <cstdint>

namespace simhost {

namespace {

constexpr char32_t kReplacement = 0xFFFD;

bool IsSurrogate(char32_t c) { return c >= 0xD800 && c <= 0xDFFF; }
bool IsContinuation(unsigned char byte) { return (byte & 0xC0) == 0x80; }

// The code point at text[at], moving at past it. A lead byte takes the continuation bytes that
// follow, up to its length; a short, overlong or out-of-range sequence is one U+FFFD.
char32_t DecodeUTF8(const std::string& text, size_t& at) {
    const unsigned char first = static_cast<unsigned char>(text[at++]);
    if (first < 0x80) return first;
    int length;
    char32_t minimum;
    if (first >= 0xC2 && first <= 0xDF)
        length = 2, minimum = 0x80;
    else if (first >= 0xE0 && first <= 0xEF)
        length = 3, minimum = 0x800;
    else if (first >= 0xF0 && first <= 0xF4)
        length = 4, minimum = 0x10000;
    else
        return kReplacement;
    char32_t c = first & (0x7F >> length);
    int taken = 1;
    for (; taken < length && at < text.size() && IsContinuation(static_cast<unsigned char>(text[at])); ++taken)
        c = (c << 6) | (static_cast<unsigned char>(text[at++]) & 0x3F);
    if (taken < length || c < minimum || c > 0x10FFFF || IsSurrogate(c)) return kReplacement;
    return c;
}

void AppendUTF8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += char(c);
        return;
    }
    const int length = c < 0x800 ? 2 : c < 0x10000 ? 3 : 4;
    static const unsigned char kLeadBits[] = {0, 0, 0xC0, 0xE0, 0xF0};
    char bytes[4];
    for (int i = length - 1; i > 0; --i, c >>= 6) bytes[i] = char(0x80 | (c & 0x3F));
    bytes[0] = char(kLeadBits[length] | c);
    out.append(bytes, size_t(length));
}

}  // namespace

std::u16string ToUTF16(const std::string& text) {
    std::u16string out;
    out.reserve(text.size());
    for (size_t at = 0; at < text.size();) {
        const char32_t c = DecodeUTF8(text, at);
        if (c < 0x10000) {
            out += char16_t(c);
        } else {
            out += char16_t(0xD800 + ((c - 0x10000) >> 10));
            out += char16_t(0xDC00 + ((c - 0x10000) & 0x3FF));
        }
    }
    return out;
}

std::string ToUTF8(const std::u16string& text) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        char32_t c = text[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF)
            c = 0x10000 + ((c - 0xD800) << 10) + (text[++i] - 0xDC00);
        else if (IsSurrogate(c))
            c = kReplacement;
        AppendUTF8(out, c);
    }
    return out;
}

}  // namespace simhost
