#include "framework/markings/FCSmartShapeEntryMark.h"

#include "framework/entries/FCNoteEntry.h"
#include "framework/markings/FCSmartShape.h"

#include <cstring>
#include <memory>

namespace {

constexpr int kShapeNumber = 0;
static_assert(kShapeNumber + 2 <= int(FCSmartShapeEntryMark::kDataSize), "entry mark record, 10 bytes");

}  // namespace

FCSmartShapeEntryMark::FCSmartShapeEntryMark() { UseClearedData(data_, kDataSize); }

bool FCSmartShapeEntryMark::Reload() {
    std::memset(data_, 0, sizeof data_);
    return __FCEntryDetail::Reload();
}

void FCSmartShapeEntryMark::SetEntryFlag(FCNoteEntry* entry, bool state) {
    if (entry) entry->SetSmartShapeFlag(state);
}

int FCSmartShapeEntryMark::GetShapeNumber() const { return fcdata::Read<uint16_t>(data_, kShapeNumber); }
void FCSmartShapeEntryMark::SetShapeNumber(int number) {
    fcdata::Write<uint16_t>(data_, kShapeNumber, uint16_t(number));
}

FCSmartShape* FCSmartShapeEntryMark::CreateSmartShape() const {
    const int number = GetShapeNumber();
    if (number <= 0 || number >= 0xFFFF) return nullptr;
    std::unique_ptr<FCSmartShape> shape(new FCSmartShape);
    if (!shape->Load(uint16_t(number))) return nullptr;
    return shape.release();
}

int FCSmartShapeEntryMarks::LoadAllForEntryNumber(int32_t entnum) {
    ClearAll();
    if (entnum == 0) return 0;
    FCSmartShapeEntryMark scratch;
    scratch.SetCustomTag(GetCustomTag());
    for (int inci = 0; inci < 0xFFFF; ++inci) {
        if (!scratch.Load(entnum, uint16_t(inci))) break;
        Add(scratch.Clone());
    }
    return GetCount();
}
