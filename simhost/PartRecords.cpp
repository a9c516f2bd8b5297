#include "simhost/PartRecords.h"

#include "simhost/layouts/ScoreLayouts.h"

namespace simhost {

namespace {

bool SameIgnoringEmpty(const std::map<int32_t, RecordStore>& a, const std::map<int32_t, RecordStore>& b) {
    for (const auto& part : a) {
        auto other = b.find(part.first);
        const bool otherEmpty = other == b.end() || other->second.All().empty();
        if (part.second.All().empty() ? !otherEmpty : (otherEmpty || part.second != other->second)) return false;
    }
    for (const auto& part : b)
        if (!part.second.All().empty() && a.find(part.first) == a.end()) return false;
    return true;
}

}  // namespace

bool PartRecords::operator==(const PartRecords& other) const {
    return SameIgnoringEmpty(layouts, other.layouts) && SameIgnoringEmpty(fields, other.fields);
}

bool IsPartLayoutTag(uint32_t tag) {
    return tag == layout::systemstaff::kTag || tag == layout::systemstaff::kSizeTag || tag == layout::staffsystem::kTag;
}

const PartField* FindPartField(uint32_t tag) {
    // Expressions (SODY): flag word at offset 10, bit 0x4000 "not shown in the current part".
    static const PartField kFields[] = {{FXTag('S', 'O', 'D', 'Y'), 10, 0x4000}};
    for (const PartField& field : kFields)
        if (field.tag == tag) return &field;
    return nullptr;
}

}  // namespace simhost
