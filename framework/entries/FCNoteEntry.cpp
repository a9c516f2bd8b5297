#include "framework/entries/FCNoteEntry.h"

#include <cstring>

namespace {

template <typename T>
T ReadAt(const uint8_t* record, int offset) {
    T value = 0;
    if (record) std::memcpy(&value, record + offset, sizeof(T));
    return value;
}

template <typename T>
void WriteAt(uint8_t* record, int offset, T value) {
    if (record) std::memcpy(record + offset, &value, sizeof(T));
}

}  // namespace

FCNoteEntry::FCNoteEntry(uint8_t* record) : record_(record) {}

int32_t FCNoteEntry::GetEntryNumber() const { return ReadAt<int32_t>(record_, 0); }

int32_t FCNoteEntry::GetMeasurePos() const { return ReadAt<int32_t>(record_, 136); }

uint32_t FCNoteEntry::GetEntryFlags() const { return ReadAt<uint32_t>(record_, 8); }

void FCNoteEntry::SetEntryFlags(uint32_t flags) { WriteAt<uint32_t>(record_, 8, flags); }

void FCNoteEntry::SetEntryFlagBits(uint32_t mask, bool state) {
    const uint32_t flags = GetEntryFlags();
    SetEntryFlags(state ? (flags | mask) : (flags & ~mask));
}
