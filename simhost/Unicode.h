// UTF-8 and UTF-16 text in the stand-in host: the host's texts travel as UTF-16 while the
// stand-in keeps UTF-8. Ill-formed input becomes U+FFFD: one for a byte that cannot start a
// sequence, one for a sequence cut short or out of range, one for an unpaired surrogate.
#pragma once

#include <string>

namespace simhost {

std::u16string ToUTF16(const std::string& text);
std::string ToUTF8(const std::u16string& text);

}  // namespace simhost
