#include "framework/markings/HostText.h"

#include "framework/core/FCString.h"

#include <cstring>
#include <string>

namespace hosttext {

void Read(const uint8_t* data, int size, bool utf16, FCString* text) {
    if (!text) return;
    text->Clear();
    if (!data || size <= 0) return;
    if (!utf16) {
        int length = 0;
        while (length < size && data[length]) ++length;
        text->SetCString(reinterpret_cast<const char*>(data), length);
        return;
    }
    std::u16string units;
    for (int offset = 0; offset + 1 < size; offset += 2) {
        char16_t unit;
        std::memcpy(&unit, data + offset, sizeof unit);
        if (!unit) break;
        units += unit;
    }
    text->SetUTF16(units.c_str(), int(units.size()));
}

int EncodedSize(const FCString* text, bool utf16) {
    const int length = text ? text->GetLength() : 0;
    return utf16 ? 2 * (length + 1) : length + 1;
}

void Write(uint8_t* data, int room, const FCString* text, bool utf16) {
    const int unitSize = utf16 ? 2 : 1;
    if (!data || room < unitSize) return;
    std::memset(data, 0, size_t(room));
    const int length = text ? text->GetLength() : 0;
    const int fits = room / unitSize - 1;
    const int count = length < fits ? length : fits;
    for (int i = 0; i < count; ++i) {
        const char16_t unit = text->GetCharacterAt(i);
        if (utf16)
            std::memcpy(data + 2 * i, &unit, sizeof unit);
        else
            data[i] = uint8_t(unit & 0xFF);
    }
}

}  // namespace hosttext
