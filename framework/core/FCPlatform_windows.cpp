// Windows: the system's code page conversion, the user locale's decimal symbol, and the
// system's Unicode lower-casing.
#include "framework/core/FCPlatform.h"

#include <windows.h>

#include <cstring>

namespace fcplatform {

std::u16string UTF8ToUTF16(const char* text, int count) {
    std::u16string out;
    if (!text) return out;
    const int length = count < 0 ? int(std::strlen(text)) : count;
    if (length == 0) return out;
    const int needed = MultiByteToWideChar(CP_UTF8, 0, text, length, nullptr, 0);
    if (needed <= 0) return out;
    out.resize(size_t(needed));
    MultiByteToWideChar(CP_UTF8, 0, text, length, reinterpret_cast<wchar_t*>(&out[0]), needed);
    return out;
}

std::string UTF16ToUTF8(const char16_t* units, int count) {
    std::string out;
    if (!units || count <= 0) return out;
    const wchar_t* wide = reinterpret_cast<const wchar_t*>(units);
    const int needed = WideCharToMultiByte(CP_UTF8, 0, wide, count, nullptr, 0, nullptr, nullptr);
    if (needed <= 0) return out;
    out.resize(size_t(needed));
    WideCharToMultiByte(CP_UTF8, 0, wide, count, &out[0], needed, nullptr, nullptr);
    return out;
}

std::string DecimalSymbol() {
    char symbol[8] = {0};
    if (GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, symbol, sizeof symbol) <= 0 || !symbol[0]) return ".";
    return symbol;
}

void ToLowerUnicode(char16_t* units, int count) {
    if (!units || count <= 0) return;
    CharLowerBuffW(reinterpret_cast<wchar_t*>(units), DWORD(count));
}

}  // namespace fcplatform
