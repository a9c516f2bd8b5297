// Linux: UTF conversion done here (identical results to the Windows code page conversion, with
// U+FFFD for invalid input), the decimal symbol from the process locale, lower-casing through
// the C.UTF-8 locale's tables.
#include "framework/core/FCPlatform.h"

#include <clocale>
#include <cstring>
#include <locale.h>
#include <wctype.h>

namespace fcplatform {
namespace {

constexpr char16_t kReplacement = 0xFFFD;

void AppendCodePoint(std::u16string& out, uint32_t cp) {
    if (cp < 0x10000) {
        out += char16_t(cp);
    } else {
        cp -= 0x10000;
        out += char16_t(0xD800 + (cp >> 10));
        out += char16_t(0xDC00 + (cp & 0x3FF));
    }
}

}  // namespace

std::u16string UTF8ToUTF16(const char* text, int count) {
    std::u16string out;
    if (!text) return out;
    const size_t length = count < 0 ? std::strlen(text) : size_t(count);
    const unsigned char* s = reinterpret_cast<const unsigned char*>(text);
    size_t i = 0;
    while (i < length) {
        const unsigned char lead = s[i];
        if (lead < 0x80) {
            out += char16_t(lead);
            ++i;
            continue;
        }
        int extra;
        uint32_t cp, minimum;
        if (lead >= 0xC2 && lead <= 0xDF) {
            extra = 1, cp = lead & 0x1F, minimum = 0x80;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            extra = 2, cp = lead & 0x0F, minimum = 0x800;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            extra = 3, cp = lead & 0x07, minimum = 0x10000;
        } else {
            out += kReplacement;
            ++i;
            continue;
        }
        size_t j = i + 1;
        int taken = 0;
        while (taken < extra && j < length && (s[j] & 0xC0) == 0x80) {
            cp = (cp << 6) | (s[j] & 0x3F);
            ++j;
            ++taken;
        }
        if (taken < extra || cp < minimum || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
            // One replacement for the maximal invalid prefix, as the Windows conversion does.
            out += kReplacement;
            i = taken == 0 ? i + 1 : j;
            continue;
        }
        AppendCodePoint(out, cp);
        i = j;
    }
    return out;
}

std::string UTF16ToUTF8(const char16_t* units, int count) {
    std::string out;
    if (!units || count <= 0) return out;
    for (int i = 0; i < count; ++i) {
        uint32_t cp = units[i];
        if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < count && units[i + 1] >= 0xDC00 && units[i + 1] <= 0xDFFF) {
            cp = 0x10000 + ((cp - 0xD800) << 10) + (units[i + 1] - 0xDC00);
            ++i;
        } else if (cp >= 0xD800 && cp <= 0xDFFF) {
            cp = 0xFFFD;
        }
        if (cp < 0x80) {
            out += char(cp);
        } else if (cp < 0x800) {
            out += char(0xC0 | (cp >> 6));
            out += char(0x80 | (cp & 0x3F));
        } else if (cp < 0x10000) {
            out += char(0xE0 | (cp >> 12));
            out += char(0x80 | ((cp >> 6) & 0x3F));
            out += char(0x80 | (cp & 0x3F));
        } else {
            out += char(0xF0 | (cp >> 18));
            out += char(0x80 | ((cp >> 12) & 0x3F));
            out += char(0x80 | ((cp >> 6) & 0x3F));
            out += char(0x80 | (cp & 0x3F));
        }
    }
    return out;
}

std::string DecimalSymbol() {
    const lconv* conv = std::localeconv();
    std::string symbol = conv && conv->decimal_point && *conv->decimal_point ? conv->decimal_point : ".";
    if (symbol.size() > 7) symbol.resize(7);
    return symbol;
}

namespace {

// The UTF-8 locale of the lower-casing, made on first use and freed when the program, or the
// plug-in module holding it, is unloaded (a module may be loaded and unloaded many times).
class UTF8Locale {
public:
    UTF8Locale() : locale_(newlocale(LC_CTYPE_MASK, "C.UTF-8", locale_t(0))) {}
    ~UTF8Locale() {
        if (locale_) freelocale(locale_);
    }
    UTF8Locale(const UTF8Locale&) = delete;
    UTF8Locale& operator=(const UTF8Locale&) = delete;
    locale_t Get() const { return locale_; }

private:
    locale_t locale_;
};

}  // namespace

void ToLowerUnicode(char16_t* units, int count) {
    if (!units || count <= 0) return;
    static const UTF8Locale locale;
    const locale_t utf8 = locale.Get();
    for (int i = 0; i < count; ++i) {
        const char16_t unit = units[i];
        if (unit >= 0xD800 && unit <= 0xDFFF) continue;  // surrogates are left as they are
        const wint_t lower = utf8 ? towlower_l(wint_t(unit), utf8) : towlower(wint_t(unit));
        if (lower < 0x10000) units[i] = char16_t(lower);
    }
}

}  // namespace fcplatform
