// How a part's records differ from the score's in the stand-in host. A part has a layout of its
// own: its staff list (system 0 staves), its systems and their staff sizes live per part. A few
// fields of shared records are kept per part (an expression's "not shown in the current part"
// bit). Everything else (measures, staves, entries, definitions, ...) is one record seen by the
// score and every part. The score's own records are the document's store; this holds the parts'.
#pragma once

#include "simhost/RecordStore.h"

#include <cstdint>
#include <map>

namespace simhost {

struct PartRecords {
    // Per part (identifier from 1): its own records of the part-layout tags.
    std::map<int32_t, RecordStore> layouts;
    // Per part: its values of the per-part fields, as 2-byte records under the shared record's
    // tag and key.
    std::map<int32_t, RecordStore> fields;

    // A part without records equals a part that was never given any.
    bool operator==(const PartRecords& other) const;
    bool operator!=(const PartRecords& other) const { return !(*this == other); }
};

// Tags whose records each part keeps for itself.
bool IsPartLayoutTag(uint32_t tag);

// A 16-bit field of a shared record that the host keeps per part: the bits of mask at offset.
struct PartField {
    uint32_t tag;
    int offset;
    uint16_t mask;
};
// The per-part field of this tag, or null.
const PartField* FindPartField(uint32_t tag);

}  // namespace simhost
