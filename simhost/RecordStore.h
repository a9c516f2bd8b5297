// The stand-in host's record store: per record tag, an ordered map from the 8-byte key to a
// byte block. Keys order by word 0, then 1, 2 and 3. Plain value type: copying it copies the
// document's records (edits snapshot it).
#pragma once

#include "framework/host/hostapi.h"

#include <cstdint>
#include <map>
#include <vector>

namespace simhost {

class RecordStore {
public:
    typedef std::vector<uint8_t> Bytes;
    typedef std::map<uint64_t, Bytes> TagRecords;

    RecordStore() = default;
    RecordStore(const RecordStore&) = default;
    RecordStore& operator=(const RecordStore&) = default;
    // A store moved from is left empty, with a stamp of its own.
    RecordStore(RecordStore&& other) noexcept;
    RecordStore& operator=(RecordStore&& other) noexcept;

    static uint64_t Order(const FXKey& key);
    static FXKey KeyFromOrder(uint64_t order);

    // The record under tag and key, or null.
    const Bytes* Find(uint32_t tag, const FXKey& key) const;
    // Stores (or replaces) a record.
    void Put(uint32_t tag, const FXKey& key, const uint8_t* data, uint32_t size);
    bool Erase(uint32_t tag, const FXKey& key);
    // The host's delete: erases the record and moves the higher incidences of the same item
    // down by one, so incidences stay a gap-free run from 0.
    bool EraseAndRenumber(uint32_t tag, const FXKey& key);
    // Which key word holds the incidence for records of this tag: word 2 for entry details
    // (tags starting "e"/"E"), cell details ("SD") and details ("D"); word 1 otherwise.
    static int IncidenceWord(uint32_t tag);
    // The first key after this one, in key order; false after the last.
    bool Next(uint32_t tag, FXKey& key) const;
    // Replaces 0xFFFF words of the key by assigned values: the next item number (words before
    // the incidence word, from 1) or the next incidence (from 0) among records that agree in
    // the other words.
    void AssignKey(uint32_t tag, FXKey& key) const;

    // All records of one tag (empty map when none).
    const TagRecords& Records(uint32_t tag) const;
    const std::map<uint32_t, TagRecords>& All() const { return tags_; }
    int Count(uint32_t tag) const;
    void Clear();

    // Identifies the content: every change gives the store a stamp no store had before, and a
    // copy keeps the stamp of what it copied. Answers worked out from the records can be kept
    // as long as the stamp is the same.
    uint64_t Stamp() const { return stamp_; }

    bool operator==(const RecordStore& other) const { return tags_ == other.tags_; }
    bool operator!=(const RecordStore& other) const { return !(*this == other); }

private:
    void Touch();

    std::map<uint32_t, TagRecords> tags_;
    uint64_t stamp_ = 0;
};

}  // namespace simhost
