// The operating-system services the framework core needs: UTF-8/UTF-16 conversion, the user
// locale's decimal symbol and Unicode lower-casing. One implementation file per system.
#pragma once

#include <cstdint>
#include <string>

namespace fcplatform {

// UTF-8 to UTF-16; invalid sequences become U+FFFD replacement characters. count < 0: up to the
// terminating 0.
std::u16string UTF8ToUTF16(const char* text, int count = -1);
// UTF-16 to UTF-8; unpaired surrogates become U+FFFD.
std::string UTF16ToUTF8(const char16_t* units, int count);
inline std::string UTF16ToUTF8(const std::u16string& text) { return UTF16ToUTF8(text.data(), int(text.size())); }
// The decimal symbol of the user's locale settings (at most 7 characters).
std::string DecimalSymbol();
// Unicode lower-casing of the units in place.
void ToLowerUnicode(char16_t* units, int count);

}  // namespace fcplatform
