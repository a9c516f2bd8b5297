#include "framework/markings/FCRawText.h"

#include "framework/markings/HostText.h"

#include <cstring>

// At least two bytes: room for a UTF-16 terminator even when the record is shorter, so reading
// always stops.
FCRawText::FCRawText() : __FCVariableNoInciOther(2) {
    const FCString empty;
    SetText(&empty);
}

void FCRawText::GetText(FCString* text) {
    if (!text) return;
    text->Clear();
    if (!IsLoaded() || !Data()) return;
    const uint32_t size = uint32_t(GetLoadedSize());
    hosttext::Read(static_cast<const uint8_t*>(Data()), int(size < Capacity() ? size : Capacity()), hostapi::UseUTF16(),
                   text);
}

void FCRawText::SetText(const FCString* text) {
    const bool utf16 = hostapi::UseUTF16();
    const int size = hosttext::EncodedSize(text, utf16);
    uint8_t* data = Allocate(uint32_t(size));
    hosttext::Write(data, size, text, utf16);
    SetLoadedSize(size);
}
