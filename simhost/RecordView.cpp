#include "simhost/RecordView.h"

#include "simhost/SimHost.h"
#include "simhost/layouts/ScoreLayouts.h"

namespace simhost {

namespace {

bool IsDerived(uint32_t tag) { return tag == layout::staff::kCurrentSpecTag; }

uint16_t FieldValue(const RecordStore::Bytes& bytes, const PartField& field) {
    if (bytes.size() < size_t(field.offset + 2)) return 0;
    return uint16_t((bytes[size_t(field.offset)] | (bytes[size_t(field.offset) + 1] << 8)) & field.mask);
}

void SetFieldValue(RecordStore::Bytes& bytes, const PartField& field, uint16_t value) {
    if (bytes.size() < size_t(field.offset + 2)) return;
    uint16_t word = uint16_t(bytes[size_t(field.offset)] | (bytes[size_t(field.offset) + 1] << 8));
    word = uint16_t((word & ~field.mask) | (value & field.mask));
    bytes[size_t(field.offset)] = uint8_t(word & 0xFF);
    bytes[size_t(field.offset) + 1] = uint8_t(word >> 8);
}

}  // namespace

RecordView::RecordView(Document& document, int32_t part) : document_(document), part_(part) {}

RecordView RecordView::Current() {
    Document& document = CurrentDocument();
    return RecordView(document, document.View().CurrentPart());
}

const RecordStore& RecordView::StoreFor(uint32_t tag) const {
    static const RecordStore empty;
    if (part_ == 0 || !IsPartLayoutTag(tag)) return document_.Records();
    const auto& layouts = document_.State().parts.layouts;
    auto found = layouts.find(part_);
    return found == layouts.end() ? empty : found->second;
}

RecordStore& RecordView::MutableStoreFor(uint32_t tag) {
    if (part_ == 0 || !IsPartLayoutTag(tag)) return document_.Records();
    return document_.State().parts.layouts[part_];
}

bool RecordView::Read(uint32_t tag, const FXKey& key, RecordStore::Bytes& out) const {
    if (IsDerived(tag)) {
        // The staff settings in effect are the staff record itself: no staff styles here.
        const FXKey staffKey = {{key.words[0], 0, 0, 0}};
        const RecordStore::Bytes* staff = StoreFor(layout::staff::kTag).Find(layout::staff::kTag, staffKey);
        if (!staff) return false;
        out = *staff;
        return true;
    }
    const RecordStore::Bytes* record = StoreFor(tag).Find(tag, key);
    if (!record) return false;
    out = *record;
    const PartField* field = FindPartField(tag);
    if (field && part_ != 0) {
        const auto& fields = document_.State().parts.fields;
        auto partFields = fields.find(part_);
        const RecordStore::Bytes* own = partFields == fields.end() ? nullptr : partFields->second.Find(tag, key);
        SetFieldValue(out, *field, own && own->size() == 2 ? uint16_t((*own)[0] | ((*own)[1] << 8)) : 0);
    }
    return true;
}

// In a part, a per-part field is written to the part's values; the shared record keeps the
// score's bits (clear for a record the part creates).
void RecordView::KeepPartField(uint32_t tag, const FXKey& key, RecordStore::Bytes& bytes) {
    const PartField* field = FindPartField(tag);
    if (!field || part_ == 0) return;
    const uint16_t own = FieldValue(bytes, *field);
    const uint8_t ownBytes[2] = {uint8_t(own & 0xFF), uint8_t(own >> 8)};
    document_.State().parts.fields[part_].Put(tag, key, ownBytes, 2);
    const RecordStore::Bytes* shared = document_.Records().Find(tag, key);
    SetFieldValue(bytes, *field, shared ? FieldValue(*shared, *field) : 0);
}

bool RecordView::Write(uint32_t tag, const FXKey& key, const uint8_t* data, uint32_t size) {
    if (IsDerived(tag)) return false;
    RecordStore::Bytes bytes = data ? RecordStore::Bytes(data, data + size) : RecordStore::Bytes(size, 0);
    KeepPartField(tag, key, bytes);
    MutableStoreFor(tag).Put(tag, key, bytes.data(), uint32_t(bytes.size()));
    return true;
}

bool RecordView::Create(uint32_t tag, FXKey& key, const uint8_t* data, uint32_t size) {
    if (IsDerived(tag)) return false;
    RecordStore& store = MutableStoreFor(tag);
    FXKey assigned = key;
    store.AssignKey(tag, assigned);
    if (store.Find(tag, assigned)) return false;
    key = assigned;
    return Write(tag, assigned, data, size);
}

bool RecordView::Erase(uint32_t tag, const FXKey& key) {
    if (IsDerived(tag) || !StoreFor(tag).Find(tag, key)) return false;
    MutableStoreFor(tag).EraseAndRenumber(tag, key);
    // The parts' values of a field die with the shared record.
    if (FindPartField(tag))
        for (auto& part : document_.State().parts.fields) part.second.EraseAndRenumber(tag, key);
    return true;
}

bool RecordView::Next(uint32_t tag, FXKey& key) const {
    if (IsDerived(tag)) return false;
    return StoreFor(tag).Next(tag, key);
}

}  // namespace simhost
