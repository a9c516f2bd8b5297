#include "framework/markings/FCRawText.h"

#include "framework/markings/HostText.h"

#include <cstring>

FCRawText::FCRawText() : size_(0), capacity_(0) {
    const FCString empty;
    SetText(&empty);
}

uint8_t* FCRawText::Allocate(uint32_t size) {
    // Room for a UTF-16 terminator even when the record is shorter, so reading always stops.
    capacity_ = size < 2 ? 2 : size;
    size_ = size;
    return static_cast<uint8_t*>(AllocateOwnedData(capacity_));
}

void* FCRawText::GetDataPointer() {
    uint32_t size = 0;
    if (!hostapi::FX_LoadEData(GetTag(), &Key(), nullptr, &size, GetDataVersion()) || size == 0) return nullptr;
    return Allocate(size);
}

bool FCRawText::CopyDataFrom(__FCBaseData* other) {
    FCRawText* source = dynamic_cast<FCRawText*>(other);
    if (!source || !source->IsLoaded() || !source->Data()) return false;
    if (source == this) return true;
    const uint32_t size = uint32_t(source->GetLoadedSize());
    uint8_t* data = Allocate(size);
    std::memcpy(data, source->Data(), size < source->capacity_ ? size : source->capacity_);
    SetLoadedSize(int32_t(size));
    return true;
}

void FCRawText::GetText(FCString* text) {
    if (!text) return;
    text->Clear();
    if (!IsLoaded() || !Data()) return;
    const uint32_t size = uint32_t(GetLoadedSize());
    hosttext::Read(static_cast<const uint8_t*>(Data()), int(size < capacity_ ? size : capacity_), hostapi::UseUTF16(),
                   text);
}

void FCRawText::SetText(const FCString* text) {
    const bool utf16 = hostapi::UseUTF16();
    const int size = hosttext::EncodedSize(text, utf16);
    uint8_t* data = Allocate(uint32_t(size));
    hosttext::Write(data, size, text, utf16);
    SetLoadedSize(size);
}
