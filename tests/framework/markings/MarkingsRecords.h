// Test helpers for the markings tests: the stored bytes of a record in the stand-in host's
// current document, typed reads of them, and raw records put straight into the store (to give
// the framework records it did not write itself: short, odd or foreign ones).
#pragma once

#include "simhost/Document.h"
#include "simhost/SimHost.h"

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace markingstest {

typedef simhost::RecordStore::Bytes Bytes;

inline const Bytes* Stored(uint32_t tag, uint16_t word0, uint16_t word1 = 0) {
    const FXKey key = {{word0, word1, 0, 0}};
    return simhost::CurrentDocument().Records().Find(tag, key);
}

inline int Count(uint32_t tag) { return simhost::CurrentDocument().Records().Count(tag); }

inline uint16_t WordAt(const Bytes* bytes, int offset) {
    uint16_t value = 0;
    if (bytes && bytes->size() >= size_t(offset + 2)) std::memcpy(&value, bytes->data() + offset, 2);
    return value;
}

inline void Put(uint32_t tag, uint16_t word0, uint16_t word1, const Bytes& bytes) {
    const FXKey key = {{word0, word1, 0, 0}};
    simhost::CurrentDocument().Records().Put(tag, key, bytes.data(), uint32_t(bytes.size()));
}

inline void SetWord(Bytes& bytes, int offset, uint16_t value) {
    if (bytes.size() < size_t(offset + 2)) bytes.resize(size_t(offset + 2), 0);
    std::memcpy(bytes.data() + offset, &value, 2);
}

// The bytes of a text as the host keeps it: UTF-16 units or 8-bit characters, with a terminator.
inline Bytes HostTextBytes(const std::u16string& text, bool utf16) {
    Bytes bytes;
    for (char16_t unit : text) {
        if (utf16) {
            bytes.push_back(uint8_t(unit & 0xFF));
            bytes.push_back(uint8_t(unit >> 8));
        } else {
            bytes.push_back(uint8_t(unit & 0xFF));
        }
    }
    bytes.push_back(0);
    if (utf16) bytes.push_back(0);
    return bytes;
}

}  // namespace markingstest
