// The records of one document as one of its parts sees them: the part's own layout records, the
// shared records with the part's values of per-part fields, and the derived current staff
// settings (an in-memory host answers it with the staff record itself). The record
// exports and the host's own queries go through it. Does not own the document.
#pragma once

#include "simhost/Document.h"

namespace simhost {

class RecordView {
public:
    RecordView(Document& document, int32_t part);
    // The current document as its part in view sees it.
    static RecordView Current();

    int32_t Part() const { return part_; }

    // The record under tag and key as this part sees it; false when there is none.
    bool Read(uint32_t tag, const FXKey& key, RecordStore::Bytes& out) const;
    // Stores (or replaces) a record. False for records the host derives.
    bool Write(uint32_t tag, const FXKey& key, const uint8_t* data, uint32_t size);
    // Stores a new record under the key with its 0xFFFF words assigned (written back into key).
    // False when the assigned key is taken or the record is derived.
    bool Create(uint32_t tag, FXKey& key, const uint8_t* data, uint32_t size);
    bool Erase(uint32_t tag, const FXKey& key);
    // The next key of the tag after this one; false after the last.
    bool Next(uint32_t tag, FXKey& key) const;

    // The store that holds this tag's records for the part.
    const RecordStore& StoreFor(uint32_t tag) const;

private:
    RecordStore& MutableStoreFor(uint32_t tag);
    void KeepPartField(uint32_t tag, const FXKey& key, RecordStore::Bytes& bytes);

    Document& document_;
    int32_t part_;
};

}  // namespace simhost
